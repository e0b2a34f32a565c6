#pragma once

#include "core/baselogger.h"
#include "options/optionfunctions.h"
#include "usb/usbbusdeviceaddress.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class BaseDevice;
class Operation;
class Recorder;
class StationSerials;
class UsbManager;

// The production station: configures board after board of one kind with one function and firmware,
// without a click. For each board the discovery brings: (an update-only board first gets the base firmware
// and is followed through its restart as the kind it became) -> options snapshot -> identity (the serial,
// where one is given) -> function values -> function firmware -> restart -> verify (every option the
// function sets and the serial read back, the firmware version) -> PASS or FAIL with the step and the
// reason, recorded in the service records -> wait until the board is unplugged -> the next one.
// A board of another kind than the function's is refused, a set serial is not overwritten unless
// re-work is chosen, and an unplug or error at any step fails the board at that step; the line goes on.
//
// Threads: the user-interface thread, as the devices it drives. Nothing here blocks: every step is an
// operation whose completion moves the board on.
class Station : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    enum class Step
    {
        Waiting,
        Kind,
        BaseFirmware,
        Snapshot,
        Identity,
        Function,
        Firmware,
        Reboot,
        Verify,
        Unplug,
    };
    Q_ENUM(Step)

    struct Setup
    {
        QString function;
        QString optionDirectory; // holds the option description file
        QString firmware;        // empty: the function's firmware file named in the option file, if any
        QString baseFirmware;    // empty: the option file's base firmware, if any
        bool rework = false;     // a board that carries another serial gets the new one
        QString snapshotFolder;
        int snapshotLimit = 50;
        int returnTimeoutMs = 60000; // a restarting board must be back within this
    };

    struct Outcome
    {
        bool passed = false;
        QString serial;
        Step step = Step::Waiting; // where a failed board stopped
        QString reason;            // English, as the records keep it
        double seconds = 0;
        // Of those, the time the station waited for the board: operations in flight and restarts. The
        // rest is the station's own.
        double instrumentSeconds = 0;
        QString kind;
        QString chipId;
        QString firmwareVersion;
        QString snapshot;
    };

    // `recorder` may be null (nothing recorded); `serials` outlives the station.
    Station(UsbManager* manager, Recorder* recorder, StationSerials* serials, QObject* parent = nullptr);
    ~Station() override;

    // Checks the option file, the function and the firmware files, then waits for boards: 0, or negative
    // with errorText().
    int start(const Setup& setup);
    // Ends after the board being worked on (at once while none is).
    void stop();
    bool isRunning() const { return m_running; }
    Step step() const { return m_step; }
    QString errorText() const { return m_error; }
    int passed() const { return m_passed; }
    int failed() const { return m_failed; }
    // A scanned serial for the next board; a board waiting for one goes on.
    void serialScanned(const QString& serial);
    // True while a board waits for its scanned serial.
    bool waitsForSerial() const { return m_waitsForSerial; }

    // "base firmware", "verify", …: English, as lines and records name the step.
    static QString stepName(Step step);
    // The functions the option file of `optionDirectory` offers, for any device type, in file order.
    static QStringList functionNames(const QString& optionDirectory);

    // Operation name of the station's events in the service records.
    static constexpr const char* kRecordOperation = "station-board";

signals:
    void stepChanged(Station::Step step);
    void progress(int value, int maximum);
    void boardDone(const Station::Outcome& outcome);
    void finished();

private:
    void setStep(Step step);
    void deviceAdded(const UsbBusDeviceAddress& address);
    void deviceRemoved(const UsbBusDeviceAddress& address);
    void checkSettled();
    void arrived(BaseDevice* device);
    void begin();
    void baseFirmware();
    void checkKind();
    void snapshot();
    void identity();
    void function();
    void sendNextValue();
    void firmware();
    void awaitReturn();
    void verify();
    void pass();
    void fail(Step step, const QString& reason);
    void done(bool passed, Step failedStep, const QString& reason);
    void nextBoard();
    void finish();
    // Runs `next` once `operation` finished with its result, if the board is still the one it was posted for.
    void follow(Operation* operation, std::function<void(Operation&)> next);
    int functionDeviceTypes(QStringList* types);

    UsbManager* m_manager;
    Recorder* m_recorder;
    StationSerials* m_serials;
    Setup m_setup;
    bool m_running = false;
    bool m_stopRequested = false;
    QString m_error;
    Step m_step = Step::Waiting;
    int m_passed = 0;
    int m_failed = 0;
    QStringList m_functionTypes; // device types the function is offered for

    // The board being worked on.
    struct Board
    {
        QPointer<BaseDevice> device;
        UsbBusDeviceAddress address;
        bool present = false;
        bool returning = false; // restarting: its departure is expected, the same chip must come back
        bool baseFirmwareDone = false;
        QString chipId;
        QString serial; // the one it gets
        QString firmwareFile;
        QString firmwareVersion;
        QHash<quint32, QByteArray> meant;
        QList<quint32> toSend;
        QString snapshot;
        QElapsedTimer clock;
        QElapsedTimer waiting; // since the operation or restart being waited for began
        qint64 waitedMs = 0;
    };
    Board m_board;
    QPointer<BaseDevice> m_candidate; // arrived, not yet settled
    UsbBusDeviceAddress m_candidateAddress;
    bool m_waitsForSerial = false;
    int m_generation = 0;
    OptionFunctions m_functions;
    QTimer m_settle;
    QTimer m_returnTimer;
};
