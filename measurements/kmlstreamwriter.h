#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstring>
#include <memory>

class QIODevice;

// Streams an XML document in UTF-8 to a device, laid out exactly as the framework's QXmlStreamWriter
// lays it out with automatic formatting (four-space indentation, text elements on one line), but
// several times faster, which matters for series of a million points. Output is collected in a block
// buffer and written in large pieces.
//
// Element and attribute names are ASCII literals that need no escaping. Texts are escaped, and
// characters that XML cannot carry are dropped (xmlSafeText). Write errors of the device are
// remembered: once one occurred nothing more is written and hasError() is true. Not thread-safe.
class KmlStreamWriter
{
public:
    explicit KmlStreamWriter(QIODevice* device);

    void writeStartDocument();
    void writeEndDocument();
    void writeStartElement(const char* name);
    void writeEndElement();
    void writeAttribute(const char* name, const QString& value);
    // An attribute whose value is an ASCII literal that needs no escaping.
    void writeRawAttribute(const char* name, const char* value);
    void writeTextElement(const char* name, const QString& text);
    // Text that is already escaped UTF-8 (numbers, pre-escaped names).
    void writeRawTextElement(const char* name, const char* text, int size);
    void writeRawTextElement(const char* name, const QByteArray& text)
    {
        writeRawTextElement(name, text.constData(), text.size());
    }

    // Writes what is buffered to the device.
    void flush();
    bool hasError() const { return m_error; }

    // Appends the escaped UTF-8 form of text; attribute values also escape tab, line feed and return.
    static void appendEscaped(QByteArray& out, const QString& text, bool attribute = false);

private:
    // Closes a pending start tag; returns whether the current element already holds text or children
    // that were written without a line break (the framework's "wrote something" rule).
    bool finishStartElement(bool contents);
    void indent(int level);
    void append(const char* bytes, int size)
    {
        if (m_used + size > m_capacity)
            flushFor(size);
        std::memcpy(m_block.get() + m_used, bytes, size_t(size));
        m_used += size;
    }
    void append(const char* literal) { append(literal, int(std::strlen(literal))); }
    // Makes room for size bytes, writing the block out and, for an oversized piece, growing it.
    void flushFor(int size);

    static constexpr int kBlockSize = 256 * 1024;

    QIODevice* m_device;
    std::unique_ptr<char[]> m_block;
    int m_used = 0;
    int m_capacity = kBlockSize;
    QVector<const char*> m_open;
    bool m_inStartElement = false;
    bool m_lastWasStartElement = false;
    bool m_wroteSomething = false;
    bool m_error = false;
};
