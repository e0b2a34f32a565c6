#include "app/cli/instrumentselector.h"

#include "app/cli/busscanner.h"
#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clireport.h"
#include "app/cli/clitext.h"
#include "app/cli/eventwait.h"
#include "devices/basedevice.h"
#include "usb/usbmanager.h"

#include <QElapsedTimer>

#include <libusb.h>

#include <algorithm>
#include <cmath>

namespace {
qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return clock.elapsed();
}
} // namespace

InstrumentSelector::InstrumentSelector(UsbManager* manager, CliConsole& console, QObject* parent)
    : QObject(parent), m_manager(manager), m_console(console), m_wait(new EventWait(this))
{
}

void InstrumentSelector::setAddress(const UsbBusDeviceAddress& address)
{
    m_hasAddress = true;
    m_address = address;
}

void InstrumentSelector::setWaitSeconds(double seconds)
{
    m_waitMs = int(std::lround(std::max(0.0, seconds) * 1000));
}

bool InstrumentSelector::accepts(const UsbBusDeviceAddress& address) const
{
    return !m_hasAddress || address == m_address;
}

void InstrumentSelector::adopt()
{
    if (m_device) {
        return;
    }
    for (const UsbBusDeviceAddress& address : m_manager->addresses()) {
        if (!accepts(address)) {
            continue;
        }
        auto* device = qobject_cast<BaseDevice*>(m_manager->device(address).data());
        // One that told its identity and is no longer connected went away; the discovery drops it soon.
        if (!device || (!device->isConnected() && !device->chipId().isEmpty())) {
            continue;
        }
        m_device = device;
        m_selected = address;
        m_adoptedAt = monotonicMs();
        m_identityDone = false;
        m_openFailed = false;
        m_disconnected = false;
        // The device reads its identity itself, once created and again once open: the latest read that
        // ended tells whether it answers.
        auto followIdentity = [this](Operation* operation) {
            if (operation->kind() != Operation::Kind::ReadIdentity) {
                return;
            }
            connect(operation, &Operation::finished, this, [this](int result, QString message) {
                m_identityDone = true;
                m_identityResult = result;
                m_identityMessage = message;
                m_wait->wake();
            });
        };
        for (Operation* operation : device->pendingOperations()) {
            followIdentity(operation);
        }
        connect(device, &BaseDevice::operationStarted, this, followIdentity);
        connect(device, &BaseDevice::openFailed, this, [this](QString step, int error) {
            m_openFailed = true;
            m_openStep = step;
            m_openError = error;
            m_wait->wake();
        });
        connect(device, &BaseDevice::disconnected, this, [this] {
            m_disconnected = true;
            m_wait->wake();
        });
        connect(device, &QObject::destroyed, m_wait, &EventWait::wake);
        return;
    }
}

void InstrumentSelector::forget()
{
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(m_device, nullptr, m_wait, nullptr);
    }
    m_device = nullptr;
    m_selected = UsbBusDeviceAddress();
}

CliText InstrumentSelector::noInstrumentText() const
{
    if (!m_manager->isUsbAvailable()) {
        return CliText::translate("InstrumentSelector", "No instrument: USB is not available here. %1")
            .arg(m_manager->connectionStatus());
    }
    if (!m_problem.isEmpty()) {
        return m_problem;
    }
    const QString address = CliArguments::addressText(m_address);
    const double seconds = m_waitMs / 1000.0;
    if (m_hasAddress && m_waitMs > 0) {
        return CliText::translate("InstrumentSelector", "No instrument found at %1 within %2 s.")
            .arg(address)
            .arg(seconds);
    }
    if (m_hasAddress) {
        return CliText::translate("InstrumentSelector", "No instrument found at %1.").arg(address);
    }
    if (m_waitMs > 0) {
        return CliText::translate("InstrumentSelector", "No instrument found within %1 s.").arg(seconds);
    }
    return CliText::translate("InstrumentSelector", "No instrument found.");
}

InstrumentSelector::State InstrumentSelector::evaluate(CliReport& report)
{
    adopt();
    const qint64 now = monotonicMs();
    const bool timeLeft = now - m_startedAt < m_waitMs;
    if (m_device) {
        if (m_device->isConnected() && (m_identityDone || !m_device->chipId().isEmpty())) {
            if (m_identityDone && m_identityResult != 0) {
                report.fail(
                    CliExitCode::InstrumentFailed,
                    m_identityMessage.isEmpty()
                        ? CliText::translate("InstrumentSelector", "%1 did not tell its identity.")
                              .arg(m_device->name())
                        : CliText::translate("InstrumentSelector", "%1 did not tell its identity: %2.")
                              .arg(m_device->name(), m_identityMessage),
                    m_identityResult);
                return State::Failed;
            }
            // Chosen only while it is the one instrument on the bus: another may have arrived while
            // this one opened.
            if (severalAttached(report)) {
                return State::Failed;
            }
            return State::Ready;
        }
        const bool gone = m_openFailed || m_disconnected;
        const bool settleOver =
            now - m_adoptedAt > std::max<qint64>(m_settleMs, m_waitMs - (m_adoptedAt - m_startedAt));
        if (!gone && !settleOver) {
            return State::Pending;
        }
        const QString name = m_device->name();
        if (gone && timeLeft) {
            // The discovery tries again after a pause; the wait goes on.
            forget();
            return State::Pending;
        }
        if (m_openFailed) {
            report.fail(
                CliExitCode::NoInstrument,
                m_problem.isEmpty()
                    ? CliText::translate("InstrumentSelector", "%1 could not be opened: %2 failed with %3.")
                          .arg(name, m_openStep.isEmpty() ? QStringLiteral("open") : m_openStep,
                               QString::fromLatin1(libusb_error_name(m_openError)))
                    : CliText(m_problem),
                m_openError);
        } else if (gone) {
            report.fail(
                CliExitCode::NoInstrument,
                CliText::translate("InstrumentSelector", "%1 went away before it was ready.").arg(name));
        } else {
            report.fail(
                CliExitCode::InstrumentFailed,
                CliText::translate("InstrumentSelector", "%1 was found but did not get ready within %2 s.")
                    .arg(name, QString::number(m_settleMs / 1000.0)),
                LIBUSB_ERROR_TIMEOUT);
        }
        return State::Failed;
    }
    if (timeLeft) {
        return State::Pending;
    }
    report.fail(CliExitCode::NoInstrument, noInstrumentText());
    return State::Failed;
}

bool InstrumentSelector::severalAttached(CliReport& report) const
{
    if (m_hasAddress || !m_manager->isUsbAvailable()) {
        return false;
    }
    QList<BusScanner::Instrument> attached;
    if (!BusScanner::scan(&attached) || attached.size() < 2) {
        return false;
    }
    QStringList names;
    for (const BusScanner::Instrument& instrument : qAsConst(attached)) {
        names << CliArguments::addressText(instrument.address) + QLatin1Char(' ') + instrument.kind;
    }
    report.fail(CliExitCode::NoInstrument,
                CliText::translate("InstrumentSelector",
                                   "%n instruments are attached (%1); choose one with --device BUS:ADDR.",
                                   nullptr, int(attached.size()))
                    .arg(names.join(QStringLiteral(", "))));
    return true;
}

BaseDevice* InstrumentSelector::select(CliReport& report)
{
    m_startedAt = monotonicMs();
    if (m_hasAddress) {
        const UsbBusDeviceAddress wanted = m_address;
        m_manager->setCandidateFilter(
            [wanted](const UsbBusDeviceAddress& address, quint32) { return address == wanted; });
    }
    // Before anything is opened.
    if (severalAttached(report)) {
        return nullptr;
    }

    QMetaObject::Connection problems = connect(m_manager, &UsbManager::connectionProblem, this,
                                               [this](UsbBusDeviceAddress address, QString message) {
                                                   if (address == UsbBusDeviceAddress() || accepts(address)) {
                                                       m_problem = message;
                                                   }
                                                   m_wait->wake();
                                               });
    QMetaObject::Connection added = connect(m_manager, &UsbManager::deviceAdded, m_wait, &EventWait::wake);

    adopt();
    if (!m_device && m_manager->isUsbAvailable()) {
        m_manager->pollNow(); // the one scan a command without --wait gets
    }
    adopt();
    if (!m_device && m_waitMs > 0) {
        m_console.note(m_hasAddress ? tr("Waiting up to %1 s for an instrument at %2...")
                                          .arg(m_waitMs / 1000.0)
                                          .arg(CliArguments::addressText(m_address))
                                    : tr("Waiting up to %1 s for an instrument...").arg(m_waitMs / 1000.0));
    }
    State state = State::Pending;
    m_wait->until([&] {
        state = evaluate(report);
        return state != State::Pending;
    });
    disconnect(problems);
    disconnect(added);
    if (state != State::Ready) {
        forget();
        return nullptr;
    }
    if (m_hasAddress) {
        // A reboot brings the instrument back at another address: from here on, its kind is what counts.
        const quint32 usbId = m_device->usbId();
        m_manager->setCandidateFilter(
            [usbId](const UsbBusDeviceAddress&, quint32 id) { return id == usbId; });
    }
    return m_device;
}
