#pragma once

#include <QJsonObject>
#include <QString>

#include <memory>

class QIODevice;
class QFile;

// Standard input, output and error of service-cli, injectable for tests. Standard output carries the
// command's output only: human-readable lines, or with --json exactly one JSON document. Everything
// meant for the person at the console (progress, notes, questions) goes to standard error.
class CliConsole
{
public:
    // `out`, `err` and `in` stay the caller's and must outlive the console. The terminal flags say whether
    // a person can be asked (standard input) and whether progress may redraw a bar (standard error).
    CliConsole(QIODevice* out, QIODevice* err, QIODevice* in, bool inputIsTerminal, bool errorIsTerminal);
    ~CliConsole();

    // The process's own streams, with the terminal flags from the system.
    static std::unique_ptr<CliConsole> standardStreams();

    void setJson(bool json) { m_json = json; }
    // JSON documents on one line each (a command that prints one per item).
    void setCompactJson(bool compact) { m_compactJson = compact; }
    bool json() const { return m_json; }
    bool inputIsTerminal() const { return m_inputIsTerminal; }

    // One line of the command's human-readable output (standard output); nothing in JSON mode.
    void print(const QString& line);
    // One line for the person at the console (standard error), in either mode.
    void note(const QString& line);
    // Asks `question` on standard error and reads one line from standard input: true only for "y" or
    // "yes" (any case); no answer, end of input or anything else is no.
    bool ask(const QString& question);
    // One line from standard input, without its line end; false at the end of input.
    bool readLine(QString* line);
    // Progress of the running operation: a bar redrawn in place when standard error is a terminal,
    // otherwise a plain line whenever the message changes or another tenth is done.
    void progress(const QString& message, int value, int maximum);
    // Ends a bar's line; the next output starts on a fresh line.
    void endProgress();
    // The one JSON document of the command (standard output, followed by a newline).
    void document(const QJsonObject& object);

private:
    void write(QIODevice* device, const QString& text);

    QIODevice* m_out;
    QIODevice* m_err;
    QIODevice* m_in;
    bool m_inputIsTerminal;
    bool m_errorIsTerminal;
    bool m_json = false;
    bool m_compactJson = false;
    bool m_barOpen = false;
    QString m_lastMessage;
    int m_lastStep = -1;
    std::unique_ptr<QFile> m_ownOut;
    std::unique_ptr<QFile> m_ownErr;
    std::unique_ptr<QFile> m_ownIn;
};
