#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>

#include <algorithm>

#include <signal.h>
#include <sys/types.h>

// The simulated-instrument launcher run as its own process under Xvfb, driven through its standard
// input: collects its output and waits for a line starting with a given prefix.
class LauncherProcess
{
public:
    explicit LauncherProcess(QProcess& process) : m_process(process) {}
    // A launcher still running when the test ends (a failed test) goes with everything it started: the
    // display server and the tool would otherwise outlive the test and load the machine for later ones.
    ~LauncherProcess()
    {
        if (m_process.state() != QProcess::NotRunning && m_process.processId() > 0) {
            ::kill(-pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished(5000);
        }
    }
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    // Starts the launcher at `simPath` with `arguments` under a server of its own, with its settings
    // and log in `dataHome`.
    static void start(QProcess& process, const QString& simPath, const QString& dataHome,
                      const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        // In a process group of its own (setsid keeps the process id), so that it can be ended whole.
        process.start(QStringLiteral("setsid"),
                      QStringList{QStringLiteral("xvfb-run"), QStringLiteral("-a"), QStringLiteral("-s"),
                                  QStringLiteral("-screen 0 1280x1024x24"), simPath} +
                          arguments);
    }

    QString waitForLine(const QString& prefix, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
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
    QString poll(const QString& command, const QString& answerPrefix, const QString& expected, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        QString answer;
        while (clock.elapsed() < timeoutMs) {
            send(command);
            answer = waitForLine(answerPrefix, 5000);
            if (answer.startsWith(expected)) {
                return answer;
            }
            QThread::msleep(300);
        }
        return answer;
    }

    void send(const QString& command) { m_process.write((command + QLatin1Char('\n')).toLocal8Bit()); }

    QString tail() const { return m_seen.mid(std::max(0, int(m_seen.size()) - 40)).join(QLatin1Char('\n')); }

private:
    QProcess& m_process;
    QStringList m_seen;
};
