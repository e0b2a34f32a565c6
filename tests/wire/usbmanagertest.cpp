// The discovery on its own: bus scanning, vendor/product matching, the back-off for instruments that
// cannot be opened, hotplug arrivals and a failing libusb start, with a stand-in device factory (the
// device kinds the shared fixture installs are replaced); the back-off schedule is checked through it.
// Also the connection doctor's wording.
#include "usb/usbmanager.h"
#include "devicebusfixture.h"
#include "usb/connectiondoctor.h"
#include "usb/usbinstrument.h"
#include "usb/usbinstrumentfactory.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Platform = ConnectionDoctor::Platform;
using Cause = ConnectionDoctor::Cause;

// Opens nothing: reports at once that it opened, or that `step` failed with `error`.
class StandInInstrument : public UsbInstrument
{
    Q_OBJECT
public:
    StandInInstrument(int error, QObject* parent) : UsbInstrument(parent), m_error(error)
    {
        QTimer::singleShot(0, this, [this] {
            if (m_error == 0) {
                m_connected = true;
                emit connected();
            } else {
                emit openFailed(QStringLiteral("libusb_open"), m_error);
            }
        });
    }
    QString name() const override { return QStringLiteral("Stand-in"); }
    bool isConnected() const override { return m_connected; }
    // The link is lost, as the transport's probe would find.
    void drop()
    {
        m_connected = false;
        emit disconnected();
    }

private:
    int m_error;
    bool m_connected = false;
};

struct StandInFactory : UsbInstrumentFactory
{
    int* created;
    int error;
    StandInFactory(int* counter, int openError) : created(counter), error(openError) {}
    UsbInstrument* create(quint32, libusb_device*, QObject* parent) override
    {
        ++*created;
        return new StandInInstrument(error, parent);
    }
    // Serves every product of the accepted vendors but the one the bus presents as unknown.
    const char* foundLine(quint32 usbId) const override
    {
        const SimUsbIdentity unknown = SimInstrumentFactory::create(SimKind::UnknownProduct)->usbIdentity();
        return usbId == ((quint32(unknown.vendorId()) << 16) | unknown.productId()) ? nullptr
                                                                                    : "Stand-in found";
    }
};

class Discovery : public DeviceBusFixture
{
protected:
    void SetUp() override
    {
        DeviceBusFixture::SetUp();
        manager()->setClockForTesting([this] { return clock; });
        manager()->setPollInterval(60000); // tests poll by hand
    }
    void install(int openError)
    {
        manager()->setInstrumentFactory(std::make_unique<StandInFactory>(&created, openError));
    }
    // Waits until libusb lists `instrument` (its "add" event may come a little late on a loaded machine).
    bool listed(const std::shared_ptr<SimInstrument>& instrument)
    {
        return QTest::qWaitFor(
            [&] {
                const auto port = bus().portOf(instrument);
                libusb_device* device = port ? SimUsbBus::findLibusbDevice(*port) : nullptr;
                libusb_unref_device(device);
                return device != nullptr;
            },
            20000);
    }
    // One poll at clock time `at`, then long enough for the stand-in to report back.
    void pollAt(qint64 at)
    {
        clock = at;
        manager()->pollNow();
        QTest::qWait(20);
    }

    qint64 clock = 0;
    int created = 0;
};

} // namespace

TEST(ConnectionDoctor, ClassifiesEveryFailureInTheUsersWords)
{
    struct Case
    {
        Platform platform;
        int error;
        Cause cause;
        const char* says;
    };
    const Case cases[] = {
        {Platform::Linux, LIBUSB_ERROR_ACCESS, Cause::NoPermission, "--udev-rule"},
        // Right for a package install (the rule is in place) and for a build from source (it is not).
        {Platform::Linux, LIBUSB_ERROR_ACCESS, Cause::NoPermission, "Plug it in again, or log in again"},
        {Platform::Linux, LIBUSB_ERROR_ACCESS, Cause::NoPermission,
         "/etc/udev/rules.d/70-tessor-instruments.rules"},
        {Platform::Windows, LIBUSB_ERROR_ACCESS, Cause::Busy, "another program"},
        {Platform::Linux, LIBUSB_ERROR_BUSY, Cause::Busy, "another program"},
        {Platform::Windows, LIBUSB_ERROR_BUSY, Cause::Busy, "another program"},
        {Platform::Windows, LIBUSB_ERROR_NOT_SUPPORTED, Cause::NoDriver, "WinUSB driver"},
        {Platform::Windows, LIBUSB_ERROR_NOT_FOUND, Cause::NoDriver, "interface 0"},
        {Platform::Linux, LIBUSB_ERROR_NOT_SUPPORTED, Cause::NoDriver, "another USB port"},
        {Platform::Linux, LIBUSB_ERROR_IO, Cause::Link, "cable"},
        {Platform::Windows, LIBUSB_ERROR_PIPE, Cause::Link, "without a hub"},
        {Platform::Linux, LIBUSB_ERROR_OVERFLOW, Cause::Link, "another"},
        {Platform::Linux, LIBUSB_ERROR_TIMEOUT, Cause::Link, "cable"},
        {Platform::Linux, LIBUSB_ERROR_NO_DEVICE, Cause::Unplugged, "unplugged"},
        {Platform::Linux, LIBUSB_ERROR_OTHER, Cause::Other, "Plug it in again"},
        // A retry that failed without a step to blame used to show libusb's name for success.
        {Platform::Linux, LIBUSB_SUCCESS, Cause::Other, "Plug it in again"},
    };
    for (const Case& c : cases) {
        const auto d = ConnectionDoctor::openFailure(c.platform, QStringLiteral("Control Unit"),
                                                     QStringLiteral("bus 1, device 4"), QString(), c.error);
        SCOPED_TRACE(d.text.toStdString());
        EXPECT_EQ(d.cause, c.cause);
        EXPECT_TRUE(d.text.contains(QLatin1String(c.says)));
        EXPECT_TRUE(d.text.startsWith(QStringLiteral("The Control Unit (bus 1, device 4)")));
        EXPECT_FALSE(d.text.contains(QStringLiteral("LIBUSB"), Qt::CaseInsensitive));
    }
    const auto unknown = ConnectionDoctor::unknownProduct(0x2952, 0x5, QStringLiteral("bus 2, device 9"));
    EXPECT_EQ(unknown.cause, Cause::UnknownProduct);
    EXPECT_TRUE(unknown.text.contains(QStringLiteral("2952:0005")));
    EXPECT_TRUE(unknown.text.contains(QStringLiteral("this tool does not know this instrument")));
    const auto unavailable = ConnectionDoctor::usbUnavailable(Platform::Linux, LIBUSB_ERROR_OTHER);
    EXPECT_TRUE(unavailable.text.startsWith(QStringLiteral("USB access is not available: ")));
    EXPECT_FALSE(unavailable.text.contains(QStringLiteral("LIBUSB")));
}

TEST_F(Discovery, AnInstrumentThatCannotBeOpenedIsRetriedWithGrowingPausesAndReportedOnce)
{
    install(LIBUSB_ERROR_ACCESS);
    manager()->init();
    QSignalSpy problems(manager(), &UsbManager::connectionProblem);
    auto unit = plugControlUnit();
    ASSERT_TRUE(listed(unit));
    // Attempts fall due 5, 10, 20, 40, 60 and 60 s after each failure.
    const qint64 due[] = {0, 5000, 15000, 35000, 75000, 135000, 195000};
    int attempts = 0;
    for (qint64 at : due) {
        if (at > 0) {
            pollAt(at - 1000);
            EXPECT_EQ(created, attempts) << "attempt before " << at;
        }
        pollAt(at);
        EXPECT_EQ(created, ++attempts) << "no attempt at " << at;
        EXPECT_TRUE(manager()->addresses().isEmpty());
    }
    ASSERT_EQ(problems.count(), 1);
    const QString message = problems.at(0).at(1).toString();
    if (ConnectionDoctor::currentPlatform() == Platform::Linux) {
        EXPECT_TRUE(message.contains(QStringLiteral("udev rule"))) << message.toStdString();
    }
    EXPECT_EQ(manager()->connectionStatus(), message);

    // Unplugged: the problem is gone; plugged in again: tried at once and said again.
    bus().unplug(unit);
    pollAt(195500);
    EXPECT_EQ(manager()->connectionStatus(), ConnectionDoctor::waitingText());
    plug(unit);
    ASSERT_TRUE(listed(unit));
    pollAt(196000);
    EXPECT_EQ(created, attempts + 1);
    EXPECT_EQ(problems.count(), 2);
}

TEST_F(Discovery, AnInstrumentThatKeepsDroppingIsRetriedWithGrowingPausesUntilAConnectionLasts)
{
    install(0);
    manager()->init();
    QSignalSpy problems(manager(), &UsbManager::connectionProblem);
    auto unit = plugControlUnit();
    ASSERT_TRUE(listed(unit));
    struct Step
    {
        qint64 openedAt;  // opened by the poll at this time
        qint64 lastedMs;  // then dropped after this long
        qint64 nextAt;    // no attempt before this, one at it
        int problemsSaid; // "keeps disconnecting" said by then
    };
    const Step steps[] = {
        {0, 500, 5500, 0}, // a single drop may be an unplug: nothing said yet
        {5500, 100, 15600, 1},
        {15600, 29999, 65599, 1},
        {65599, 30000, 65599 + 30000, 1}, // lasted: the next poll tries at once, the problem is over
        {95599, 1000, 101599, 1},         // and a later drop starts over at 5 s
    };
    int attempts = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.openedAt);
        pollAt(s.openedAt);
        ASSERT_EQ(created, ++attempts);
        auto* device =
            qobject_cast<StandInInstrument*>(manager()->device(manager()->addresses().value(0)).data());
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->isConnected());
        clock = s.openedAt + s.lastedMs;
        device->drop();
        EXPECT_TRUE(manager()->addresses().isEmpty());
        if (s.nextAt > clock) {
            pollAt(s.nextAt - 1000);
            EXPECT_EQ(created, attempts) << "attempt before " << s.nextAt;
        }
        EXPECT_EQ(problems.count(), s.problemsSaid);
        if (s.openedAt == 65599) {
            EXPECT_EQ(manager()->connectionStatus(), ConnectionDoctor::waitingText());
        }
    }
    ASSERT_GE(problems.count(), 1);
    const QString message = problems.at(0).at(1).toString();
    EXPECT_TRUE(message.contains(QStringLiteral("keeps disconnecting"))) << message.toStdString();
    EXPECT_TRUE(message.startsWith(QStringLiteral("The Stand-in (")));
}

TEST_F(Discovery, AnUnknownProductOfOurVendorsIsSaidOncePerPlug)
{
    install(0);
    manager()->init();
    QSignalSpy problems(manager(), &UsbManager::connectionProblem);
    auto unknown = plugKind(SimKind::UnknownProduct);
    auto foreign = plugKind(SimKind::ForeignVendor);
    ASSERT_TRUE(listed(unknown));
    ASSERT_TRUE(listed(foreign));
    for (qint64 at : {0, 5000, 10000}) {
        pollAt(at);
    }
    EXPECT_EQ(created, 0);
    ASSERT_EQ(problems.count(), 1);
    EXPECT_TRUE(problems.at(0).at(1).toString().contains(QStringLiteral("2952:0005")));
}

TEST_F(Discovery, AFailingLibusbStartIsSaidAndRetriedOnTheNextPoll)
{
    install(0);
    int starts = 0;
    manager()->setLibusbInitForTesting([&] {
        ++starts;
        return starts < 3 ? int(LIBUSB_ERROR_OTHER) : libusb_init(nullptr);
    });
    QSignalSpy problems(manager(), &UsbManager::connectionProblem);
    QSignalSpy added(manager(), &UsbManager::deviceAdded);
    auto unit = plugControlUnit();
    manager()->init();
    EXPECT_FALSE(manager()->isUsbAvailable());
    pollAt(5000); // would have scanned through a null context
    EXPECT_EQ(starts, 2);
    ASSERT_EQ(problems.count(), 1); // said once, not on every poll
    EXPECT_TRUE(problems.at(0).at(1).toString().startsWith(QStringLiteral("USB access is not available: ")));
    EXPECT_TRUE(manager()->connectionStatus().startsWith(QStringLiteral("USB access is not available: ")));

    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            pollAt(clock + 5000);
            return added.count() == 1;
        },
        20000));
    EXPECT_EQ(starts, 3);
    EXPECT_TRUE(manager()->isUsbAvailable());
    EXPECT_EQ(created, 1);
}

TEST_F(Discovery, AnArrivalIsScannedAtOnceWhereHotplugIsOffered)
{
    install(0);
    manager()->init();
    if (!manager()->hasHotplug()) {
        GTEST_SKIP() << "libusb offers no hotplug here: polling alone";
    }
    QSignalSpy added(manager(), &UsbManager::deviceAdded);
    plugControlUnit();
    // The poll interval is a minute: only the arrival can have started this scan.
    ASSERT_TRUE(added.wait(20000) || added.count() == 1);
    EXPECT_EQ(created, 1);
    EXPECT_FALSE(manager()->isPolling());
}

#include "usbmanagertest.moc"
