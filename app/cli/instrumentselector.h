#pragma once

#include "app/cli/clitext.h"
#include "usb/usbbusdeviceaddress.h"

#include <QObject>
#include <QPointer>
#include <QString>

class BaseDevice;
class CliConsole;
class CliReport;
class UsbManager;

// Finds the instrument a command works on, through the discovery the window uses: the only recognised
// instrument on the bus, or the one at the address asked for. Without a wait the bus is scanned once;
// with one, arrivals are awaited (a production line plugs the next board). An instrument found is
// served once it is open and has told its identity.
//
// The discovery must be started (UsbManager::init) and have the device factory installed. GUI thread.
class InstrumentSelector : public QObject
{
    Q_OBJECT

public:
    InstrumentSelector(UsbManager* manager, CliConsole& console, QObject* parent = nullptr);

    // Serve only the instrument at `address`.
    void setAddress(const UsbBusDeviceAddress& address);
    void setWaitSeconds(double seconds);
    // How long an instrument that was found may take to open and tell its identity (10 s by default),
    // whatever the wait.
    void setSettleTimeout(int milliseconds) { m_settleMs = milliseconds; }

    // The served device (owned by the discovery), or null with the failure in `report`: exit 2 when
    // there is no instrument to serve, 3 when it did not tell its identity.
    BaseDevice* select(CliReport& report);
    UsbBusDeviceAddress selectedAddress() const { return m_selected; }

private:
    enum class State
    {
        Pending,
        Ready,
        Failed
    };

    bool accepts(const UsbBusDeviceAddress& address) const;
    // Several instruments and no address asked for: which one is meant cannot be guessed. True with the
    // report failed (exit 2).
    bool severalAttached(CliReport& report) const;
    void adopt();
    void forget();
    State evaluate(CliReport& report);
    CliText noInstrumentText() const;

    UsbManager* m_manager;
    CliConsole& m_console;
    bool m_hasAddress = false;
    UsbBusDeviceAddress m_address;
    int m_waitMs = 0;
    int m_settleMs = 10000;
    qint64 m_startedAt = 0;
    qint64 m_adoptedAt = 0;
    QPointer<BaseDevice> m_device;
    UsbBusDeviceAddress m_selected;
    bool m_identityDone = false;
    int m_identityResult = 0;
    QString m_identityMessage;
    bool m_openFailed = false;
    bool m_disconnected = false;
    QString m_openStep;
    int m_openError = 0;
    QString m_problem;
    class EventWait* m_wait = nullptr;
};
