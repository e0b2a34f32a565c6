#include "measurements/kmlstreamwriter.h"

#include "measurements/xmlsafetext.h"

#include <QIODevice>

#include <cstring>

KmlStreamWriter::KmlStreamWriter(QIODevice* device)
    : m_device(device), m_block(std::make_unique<char[]>(kBlockSize))
{
}

void KmlStreamWriter::flush()
{
    if (!m_error && m_used > 0) {
        if (!m_device || m_device->write(m_block.get(), m_used) != m_used)
            m_error = true;
    }
    m_used = 0;
}

void KmlStreamWriter::flushFor(int size)
{
    flush();
    if (size > m_capacity) {
        m_block = std::make_unique<char[]>(size_t(size));
        m_capacity = size;
    }
}

void KmlStreamWriter::indent(int level)
{
    static const char kSpaces[] = "                                                                ";
    append("\n", 1);
    int spaces = level * 4;
    while (spaces > 0) {
        const int n = qMin(spaces, int(sizeof kSpaces - 1));
        append(kSpaces, n);
        spaces -= n;
    }
}

bool KmlStreamWriter::finishStartElement(bool contents)
{
    const bool hadSomethingWritten = m_wroteSomething;
    m_wroteSomething = contents;
    if (!m_inStartElement)
        return hadSomethingWritten;
    append(">", 1);
    m_inStartElement = false;
    return hadSomethingWritten;
}

void KmlStreamWriter::writeStartDocument()
{
    finishStartElement(false);
    append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
}

void KmlStreamWriter::writeEndDocument()
{
    while (!m_open.isEmpty())
        writeEndElement();
    append("\n", 1);
    flush();
}

void KmlStreamWriter::writeStartElement(const char* name)
{
    if (!finishStartElement(false))
        indent(m_open.size());
    m_open.append(name);
    append("<", 1);
    append(name);
    m_inStartElement = m_lastWasStartElement = true;
}

void KmlStreamWriter::writeEndElement()
{
    if (m_open.isEmpty())
        return;
    const char* name = m_open.takeLast();
    if (m_inStartElement) {
        // Nothing was written inside: an empty-element tag.
        append("/>", 2);
        m_inStartElement = m_lastWasStartElement = false;
        return;
    }
    if (!finishStartElement(false) && !m_lastWasStartElement)
        indent(m_open.size());
    m_lastWasStartElement = false;
    append("</", 2);
    append(name);
    append(">", 1);
}

void KmlStreamWriter::writeAttribute(const char* name, const QString& value)
{
    append(" ", 1);
    append(name);
    append("=\"", 2);
    QByteArray escaped;
    appendEscaped(escaped, value, true);
    append(escaped.constData(), escaped.size());
    append("\"", 1);
}

void KmlStreamWriter::writeRawAttribute(const char* name, const char* value)
{
    append(" ", 1);
    append(name);
    append("=\"", 2);
    append(value);
    append("\"", 1);
}

void KmlStreamWriter::writeTextElement(const char* name, const QString& text)
{
    writeStartElement(name);
    finishStartElement(true);
    QByteArray escaped;
    appendEscaped(escaped, text);
    append(escaped.constData(), escaped.size());
    writeEndElement();
}

void KmlStreamWriter::writeRawTextElement(const char* name, const char* text, int size)
{
    writeStartElement(name);
    finishStartElement(true);
    append(text, size);
    writeEndElement();
}

void KmlStreamWriter::appendEscaped(QByteArray& out, const QString& text, bool attribute)
{
    const QByteArray utf8 = xmlSafeText(text).toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    const char* run = p;
    for (; p < end; ++p) {
        const char* replacement = nullptr;
        switch (*p) {
        case '<':
            replacement = "&lt;";
            break;
        case '>':
            replacement = "&gt;";
            break;
        case '&':
            replacement = "&amp;";
            break;
        case '"':
            replacement = "&quot;";
            break;
        case '\t':
            replacement = attribute ? "&#9;" : nullptr;
            break;
        case '\n':
            replacement = attribute ? "&#10;" : nullptr;
            break;
        case '\r':
            replacement = attribute ? "&#13;" : nullptr;
            break;
        default:
            break;
        }
        if (replacement) {
            out.append(run, int(p - run));
            out.append(replacement);
            run = p + 1;
        }
    }
    out.append(run, int(end - run));
}
