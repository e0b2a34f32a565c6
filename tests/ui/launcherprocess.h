#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>

#include <algorithm>

#include <signal.h>
#include <sys/types.h>

// The simulated-instrument launcher (SERVICE_SIM_PATH) run as its own process under Xvfb, driven through
// its standard input: collects its output and waits for a line starting with a given prefix.
class LauncherProcess
{
public:
    // A launcher still running when the test ends (a failed test) goes with everything it started: the
    // display server and the tool would otherwise outlive the test and load the machine for later ones.
    ~LauncherProcess()
    {
        if (m_process.state() != QProcess::NotRunning && m_process.processId() > 0) {
            ::kill(-pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished(5000);
        }
    }

    // Starts the launcher with `arguments` under a server of its own, with its settings and log in
    // `dataHome`, and waits until it says it is ready.
    bool start(const QString& dataHome, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("DISPLAY"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        // In a process group of its own (setsid keeps the process id), so that it can be ended whole.
        m_process.start("setsid", QStringList{"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24",
                                              QStringLiteral(SERVICE_SIM_PATH)} +
                                      arguments);
        return m_process.waitForStarted(10000) && !waitForLine("ready", 30000).isEmpty();
    }

    QString waitForLine(const QString& prefix, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
                m_seen << line;
                if (line.startsWith(prefix)) {
                    return line;
                }
            }
            if (m_process.state() == QProcess::NotRunning) {
                return QString();
            }
            m_process.waitForReadyRead(200);
        }
        return QString();
    }

    // Sends `command` until its answer starts with `expected` (the tool works in the background).
    QString poll(const QString& command, const QString& answerPrefix, const QString& expected,
                 int timeoutMs = 30000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        QString answer;
        while (!deadline.hasExpired()) {
            send(command);
            answer = waitForLine(answerPrefix, 5000);
            if (answer.startsWith(expected)) {
                return answer;
            }
            QThread::msleep(300);
        }
        return answer;
    }

    // Sends `command` and tells whether its answer is the command itself.
    bool echoes(const QString& command)
    {
        send(command);
        return waitForLine(command.section(QLatin1Char(' '), 0, 0), 10000) == command;
    }

    // The window in `name` below the artifact folder, where it stays for a person to look at.
    bool screenshot(const QString& name)
    {
        QDir().mkpath(QStringLiteral(SERVICE_E2E_ARTIFACT_DIR));
        const QString path = QStringLiteral(SERVICE_E2E_ARTIFACT_DIR "/") + name;
        QFile::remove(path);
        return echoes(QStringLiteral("screenshot ") + path) && QFile::exists(path);
    }

    // Closes the window through the launcher: the exit code, or -1 when the window did not say it
    // closes or the launcher did not end normally.
    int close()
    {
        send(QStringLiteral("close"));
        const bool closing = waitForLine(QStringLiteral("closing"), 10000) == QLatin1String("closing");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(30000) || m_process.exitStatus() != QProcess::NormalExit || !closing) {
            return -1;
        }
        return m_process.exitCode();
    }

    void send(const QString& command) { m_process.write((command + QLatin1Char('\n')).toLocal8Bit()); }

    QString tail() const { return m_seen.mid(std::max(0, int(m_seen.size()) - 40)).join(QLatin1Char('\n')); }

private:
    QProcess m_process;
    QStringList m_seen;
};
