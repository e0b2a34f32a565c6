#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class BaseDevice;
class CliConsole;
class EventWait;

// Follows one instrument while a command runs: records the results of the jobs that come back, shows
// the progress of the job the command started, and notices when the instrument goes away (unplugged,
// rebooted, or its device object deleted).
class DeviceWatch : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        bool cameBack = false; // false: the instrument went away (or the time ran out) first
        int result = 0;
        QString message;
    };

    DeviceWatch(BaseDevice* device, CliConsole& console, QObject* parent = nullptr);

    BaseDevice* device() const;
    bool isGone() const { return m_gone; }

    // Shows the progress of `jobName` on the console; `message` stands in for a job that reports none.
    void showProgress(const QString& jobName, const QString& message = QString());

    // The first result of `jobName` that came back since the watch was created and was not taken yet;
    // waits for it until the instrument went away or `timeoutMs` passed (negative: no limit).
    Outcome waitForJob(const QString& jobName, int timeoutMs = -1);
    // Runs the event loop until `done()` holds (true) or the instrument went away or the time is up.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1);
    // Wakes a running wait, for signals the watch does not follow itself.
    void wake();

private:
    struct Finished
    {
        QString name;
        int result;
        QString message;
    };

    QPointer<BaseDevice> m_device;
    CliConsole& m_console;
    EventWait* m_wait;
    bool m_gone = false;
    QList<Finished> m_finished;
    QString m_progressJob;
    QString m_progressMessage;
};
