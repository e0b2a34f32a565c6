#include "app/cli/cliconsole.h"

#include <QFile>
#include <QIODevice>
#include <QJsonDocument>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define CLI_ISATTY _isatty
#define CLI_FILENO _fileno
#else
#include <unistd.h>
#define CLI_ISATTY isatty
#define CLI_FILENO fileno
#endif

namespace {
constexpr int kBarWidth = 30;
} // namespace

CliConsole::CliConsole(QIODevice* out, QIODevice* err, QIODevice* in, bool inputIsTerminal,
                       bool errorIsTerminal)
    : m_out(out), m_err(err), m_in(in), m_inputIsTerminal(inputIsTerminal), m_errorIsTerminal(errorIsTerminal)
{
}

CliConsole::~CliConsole()
{
    endProgress();
}

std::unique_ptr<CliConsole> CliConsole::standardStreams()
{
    auto out = std::make_unique<QFile>();
    auto err = std::make_unique<QFile>();
    auto in = std::make_unique<QFile>();
    out->open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err->open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    in->open(stdin, QIODevice::ReadOnly);
    auto console =
        std::make_unique<CliConsole>(out.get(), err.get(), in.get(), CLI_ISATTY(CLI_FILENO(stdin)) != 0,
                                     CLI_ISATTY(CLI_FILENO(stderr)) != 0);
    console->m_ownOut = std::move(out);
    console->m_ownErr = std::move(err);
    console->m_ownIn = std::move(in);
    return console;
}

void CliConsole::write(QIODevice* device, const QString& text)
{
    if (!device) {
        return;
    }
    device->write(text.toUtf8());
    if (auto* file = qobject_cast<QFile*>(device)) {
        file->flush();
    }
}

void CliConsole::print(const QString& line)
{
    if (m_json) {
        return;
    }
    endProgress();
    write(m_out, line + QLatin1Char('\n'));
}

void CliConsole::note(const QString& line)
{
    endProgress();
    write(m_err, line + QLatin1Char('\n'));
}

bool CliConsole::ask(const QString& question)
{
    endProgress();
    write(m_err, question + QStringLiteral(" [y/N] "));
    if (!m_in) {
        return false;
    }
    const QString answer = QString::fromLocal8Bit(m_in->readLine()).trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

bool CliConsole::readLine(QString* line)
{
    endProgress();
    if (!m_in || m_in->atEnd()) {
        // A terminal reports no end until it is read.
        if (!m_in || !m_inputIsTerminal) {
            return false;
        }
    }
    const QByteArray bytes = m_in->readLine();
    if (bytes.isEmpty()) {
        return false;
    }
    *line = QString::fromLocal8Bit(bytes).trimmed();
    return true;
}

void CliConsole::progress(const QString& message, int value, int maximum)
{
    const int percent = maximum > 0 ? int(qBound<qint64>(0, qint64(value) * 100 / maximum, 100)) : -1;
    if (m_errorIsTerminal) {
        if (message == m_lastMessage && percent == m_lastStep) {
            return;
        }
        m_lastMessage = message;
        m_lastStep = percent;
        QString line;
        if (percent >= 0) {
            const int filled = percent * kBarWidth / 100;
            line = QStringLiteral("\r[%1%2] %3% %4")
                       .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char(' ')))
                       .arg(percent, 3)
                       .arg(message);
        } else {
            line = QStringLiteral("\r%1 %2").arg(message, QString::number(value));
        }
        // Clears what a longer earlier message left on the line.
        write(m_err, line + QStringLiteral("\x1b[K"));
        m_barOpen = true;
        return;
    }
    const int step = percent >= 0 ? percent / 10 : value;
    if (message == m_lastMessage && step == m_lastStep) {
        return;
    }
    m_lastMessage = message;
    m_lastStep = step;
    write(m_err, QStringLiteral("%1 %2%3\n")
                     .arg(message, QString::number(percent >= 0 ? percent : value),
                          percent >= 0 ? QStringLiteral("%") : QString()));
}

void CliConsole::endProgress()
{
    if (m_barOpen) {
        write(m_err, QStringLiteral("\n"));
        m_barOpen = false;
    }
    m_lastMessage.clear();
    m_lastStep = -1;
}

void CliConsole::document(const QJsonObject& object)
{
    endProgress();
    write(m_out, m_compactJson ? QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                                     QLatin1Char('\n')
                               : QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}
