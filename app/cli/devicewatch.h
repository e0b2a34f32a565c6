#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "app/cli/clitext.h"
#include "measurements/vectarisdataset.h"
#include "options/optionssnapshot.h"

#include <functional>

class BaseDevice;
class CliConsole;
class EventWait;
class Operation;

// Follows one instrument while a command runs: records how each operation posted on it since the watch
// was created ended, shows the progress of the one the command asks for, and notices when the
// instrument goes away (unplugged, rebooted, or its device object deleted). Operations are told apart by
// their serial: a command waits for the very operation it posted, or for that one's follow-up.
class DeviceWatch : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        bool cameBack = false; // false: the instrument went away (or the time ran out) first
        int result = 0;
        CliText message;
        quint64 followUp = 0; // serial of the operation posted because of this one; 0: none
        // The operation's outcome (see Operation).
        QString logText;
        QList<VectarisDataset> datasets;
        OptionsSnapshot snapshot;
        int switchingPoint = -1;
    };

    DeviceWatch(BaseDevice* device, CliConsole& console, QObject* parent = nullptr);

    BaseDevice* device() const;
    bool isGone() const { return m_gone; }

    // Shows the progress of `operation` on the console; `message` stands in when it reports none.
    void showProgress(const Operation* operation, const QString& message = QString());

    // How the operation with `serial` (posted after the watch was created) ended; waits for it until
    // the instrument went away or `timeoutMs` passed (negative: no limit).
    Outcome waitFor(quint64 serial, int timeoutMs = -1);
    Outcome waitFor(const Operation* operation, int timeoutMs = -1);
    // Runs the event loop until `done()` holds (true) or the instrument went away or the time is up.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1);
    // Wakes a running wait, for signals the watch does not follow itself.
    void wake();

private:
    void follow(Operation* operation);

    QPointer<BaseDevice> m_device;
    CliConsole& m_console;
    EventWait* m_wait;
    bool m_gone = false;
    QHash<quint64, Outcome> m_finished;
    quint64 m_progressSerial = 0;
    QString m_progressMessage;
};
