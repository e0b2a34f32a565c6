// The main window and the Info page with instruments: simulated instruments on the emulated USB bus,
// discovered by the real USB manager, so that the page hand-over runs exactly as in the field.
#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/controlunit.h"
#include "devices/devicefactory.h"
#include "sim/simdefaults.h"
#include "sim/usbfs/simusbfixture.h"
#include "ui/developwidget.h"
#include "ui/infowidget.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "ui/measurementswidget.h"
#include "ui/productionwidget.h"
#include "ui/progressdialog.h"
#include "ui/servicewidget.h"
#include "uitestenvironment.h"
#include "usb/connectiondoctor.h"
#include "usb/usbmanager.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kConnectTimeoutMs = 30000;
constexpr int kUnplugTimeoutMs = 30000;

QString labelText(QWidget* parent, const char* name)
{
    auto* label = parent->findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

bool infoShowsConnected(QWidget* info)
{
    auto* stack = info->findChild<QStackedWidget*>(QStringLiteral("stackedWidget"));
    return stack->currentWidget()->objectName() == QStringLiteral("pageConnected");
}

class MainWindowDeviceTest : public SimUsbFixture
{
protected:
    static void SetUpTestSuite() { setUpUiTestEnvironment(); }
    bool initialiseLibusb() const override { return false; } // the USB manager starts libusb

    void SetUp() override
    {
        SimUsbFixture::SetUp();
        window = std::make_unique<MainWindow>();
        manager = UsbManager::instance();
        DeviceFactory::install();
        window->followUsbManager(manager);
        manager->init();
        window->show();
    }

    void TearDown() override
    {
        manager->deinit();
        window.reset();
        SimUsbFixture::TearDown();
    }

    bool visible(int id) const { return window->sidebar()->button(id)->isVisible(); }

    // Polls once and waits until the window has handed the new device to its pages.
    BaseDevice* attach()
    {
        manager->pollNow();
        const bool connected = QTest::qWaitFor(
            [this] {
                const auto addresses = manager->addresses();
                return !addresses.isEmpty() && manager->device(addresses.first()) &&
                       manager->device(addresses.first())->isConnected() &&
                       static_cast<ServiceWidget*>(window->page(MainWindow::ServicePage))->device();
            },
            kConnectTimeoutMs);
        if (!connected) {
            return nullptr;
        }
        return qobject_cast<BaseDevice*>(manager->device(manager->addresses().first()).data());
    }

    void expectDetached()
    {
        EXPECT_EQ(static_cast<ServiceWidget*>(window->page(MainWindow::ServicePage))->device(), nullptr);
        EXPECT_EQ(static_cast<MeasurementsWidget*>(window->page(MainWindow::MeasurementsPage))->device(),
                  nullptr);
        EXPECT_FALSE(infoShowsConnected(window->page(MainWindow::InfoPage)));
        for (int id : {2, 3, 4, 5}) {
            EXPECT_FALSE(visible(id)) << id;
        }
    }

    std::unique_ptr<MainWindow> window;
    UsbManager* manager = nullptr;
};

// An instrument that cannot be opened: the cause and the fix are said once in the notification bar and
// stay on the Info page until it is unplugged; then the page says again what the tool waits for.
TEST_F(MainWindowDeviceTest, InfoPageSaysWhatKeepsAnInstrumentFromBeingUsed)
{
    QWidget* info = window->page(MainWindow::InfoPage);
    EXPECT_EQ(labelText(info, "connectionStatusLabel"), ConnectionDoctor::waitingText());
    auto unit = plugControlUnit();
    unit->faults().failClaimInterface(true);
    manager->setPollInterval(30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->notificationBar()->isVisible(); }, kConnectTimeoutMs));
    const QString said = labelText(window.get(), "notificationTextLabel");
    EXPECT_TRUE(said.contains(QStringLiteral("another program"))) << said.toStdString();
    EXPECT_EQ(labelText(info, "connectionStatusLabel"), said);
    EXPECT_FALSE(infoShowsConnected(info));

    bus().unplug(unit);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return labelText(info, "connectionStatusLabel") == ConnectionDoctor::waitingText(); }, 20000));
}

TEST_F(MainWindowDeviceTest, ControlUnitOffersServiceAndMeasurementsAndShowsItsIdentity)
{
    auto unit = plugControlUnit();
    unit->setSoftwareVersion("3.1.4");
    unit->storeOption(SimDefaults::DeviceSerialNumber, SimInstrument::textValue("CU-000815"));
    window->sidebar()->setCurrentPage(MainWindow::DevelopPage); // not About: the window goes to Info

    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    EXPECT_TRUE(visible(MainWindow::MeasurementsPage));
    EXPECT_TRUE(visible(MainWindow::ServicePage));
    EXPECT_FALSE(visible(MainWindow::ProductionPage));
    EXPECT_FALSE(visible(MainWindow::DevelopPage));
    EXPECT_EQ(static_cast<MeasurementsWidget*>(window->page(MainWindow::MeasurementsPage))->device(), device);
    EXPECT_EQ(static_cast<ProductionWidget*>(window->page(MainWindow::ProductionPage))->device(), nullptr);
    EXPECT_EQ(static_cast<DevelopWidget*>(window->page(MainWindow::DevelopPage))->device(), nullptr);

    QWidget* info = window->page(MainWindow::InfoPage);
    EXPECT_TRUE(infoShowsConnected(info));
    EXPECT_EQ(labelText(info, "deviceNameLabel"), QStringLiteral("Control Unit"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return labelText(info, "versionLabel") == QStringLiteral("3.1.4"); },
                                kConnectTimeoutMs));
    EXPECT_EQ(labelText(info, "serialLabel"), QStringLiteral("CU-000815"));
    auto* picture = info->findChild<QLabel*>(QStringLiteral("deviceImageLabel"));
    EXPECT_EQ(picture->pixmap(Qt::ReturnByValue).size(), QSize(400, 400));

    // The device's notifications and busy/idle reach the window.
    device->notifyUser(NotificationMessageType::Warning, QStringLiteral("careful"));
    EXPECT_TRUE(window->notificationBar()->isVisible());
    EXPECT_EQ(labelText(window.get(), "notificationTextLabel"), QStringLiteral("careful"));
    // Let the identity and option reads finish and their progress window go, then drive it by hand.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return device->pendingJobCount() == 0 && !window->progress()->isVisible(); }, 30000));
    emit device->busy();
    EXPECT_TRUE(window->progress()->isVisible());
    emit device->idle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->progress()->isVisible(); }, 20000));
}

TEST_F(MainWindowDeviceTest, SensorOffersOnlyService)
{
    plugAcousticSensor();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    EXPECT_TRUE(visible(MainWindow::ServicePage));
    EXPECT_FALSE(visible(MainWindow::MeasurementsPage));
    EXPECT_FALSE(visible(MainWindow::ProductionPage));
    EXPECT_FALSE(visible(MainWindow::DevelopPage));
    EXPECT_EQ(static_cast<MeasurementsWidget*>(window->page(MainWindow::MeasurementsPage))->device(),
              nullptr);
    EXPECT_EQ(labelText(window->page(MainWindow::InfoPage), "deviceNameLabel"),
              QStringLiteral("Tymbrel Sensor"));
}

TEST_F(MainWindowDeviceTest, AboutStaysWhenADeviceComesAndGoes)
{
    auto unit = plugControlUnit();
    window->sidebar()->setCurrentPage(MainWindow::AboutPage);
    ASSERT_NE(attach(), nullptr);
    EXPECT_EQ(window->sidebar()->checkedId(), MainWindow::AboutPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::AboutPage));
    EXPECT_TRUE(visible(MainWindow::ServicePage));

    bus().unplug(unit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager->addresses().isEmpty(); }, kUnplugTimeoutMs));
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::AboutPage));
    expectDetached();
}

TEST_F(MainWindowDeviceTest, UnplugDetachesThePagesAndReturnsToInfo)
{
    auto unit = plugControlUnit();
    ASSERT_NE(attach(), nullptr);
    window->sidebar()->setCurrentPage(MainWindow::MeasurementsPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::MeasurementsPage));

    bus().unplug(unit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager->addresses().isEmpty(); }, kUnplugTimeoutMs));
    EXPECT_EQ(window->sidebar()->checkedId(), MainWindow::InfoPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    expectDetached();
    EXPECT_EQ(labelText(window->page(MainWindow::InfoPage), "disconnectedLabel"),
              QStringLiteral("No device connected!"));

    // The next instrument is taken up as usual.
    plugAcousticSensor();
    ASSERT_NE(attach(), nullptr);
    EXPECT_TRUE(visible(MainWindow::ServicePage));
    EXPECT_FALSE(visible(MainWindow::MeasurementsPage));
}

TEST_F(MainWindowDeviceTest, RemovalWithoutDisconnectAlsoDetaches)
{
    plugControlUnit();
    ASSERT_NE(attach(), nullptr);
    window->sidebar()->setCurrentPage(MainWindow::ServicePage);
    window->usbDeviceRemoved(manager->addresses().first());
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    expectDetached();
}

// A device that goes between a job's busy and idle never reports idle: the modal window it raised goes
// with it, and only with it.
TEST_F(MainWindowDeviceTest, ProgressWindowGoesWithTheDeviceItWasShownFor)
{
    plugControlUnit();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    const UsbBusDeviceAddress address = manager->addresses().first();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return device->pendingJobCount() == 0 && !window->progress()->isVisible(); }, 10000));
    struct Case
    {
        const char* name;
        UsbBusDeviceAddress removed;
        bool stays;
    };
    const Case cases[] = {
        {"another instrument", UsbBusDeviceAddress(address.bus(), quint8(address.address() + 1)), true},
        {"its own", address, false},
    };
    for (const Case& c : cases) {
        emit device->busy();
        ASSERT_TRUE(window->progress()->isVisible()) << c.name;
        window->usbDeviceRemoved(c.removed);
        EXPECT_EQ(window->progress()->isVisible(), c.stays) << c.name;
    }
}

// --- Info page with a device of its own -----------------------------------------------------------

class InfoWidgetTest : public SimUsbFixture
{
protected:
    static void SetUpTestSuite() { setUpUiTestEnvironment(); }
};

TEST_F(InfoWidgetTest, DeviceHandedOverBeforeConnectingShowsDisconnectedUntilItConnects)
{
    auto unit = plugControlUnit();
    unit->setSoftwareVersion("1.0.7");
    InfoWidget info;
    {
        ControlUnit device(libusbDevice(unit));
        info.setDevice(&device); // the worker is still opening the instrument
        EXPECT_FALSE(infoShowsConnected(&info));
        EXPECT_EQ(labelText(&info, "deviceNameLabel"), QStringLiteral("Control Unit"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return infoShowsConnected(&info); }, kConnectTimeoutMs));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return labelText(&info, "versionLabel") == QStringLiteral("1.0.7"); }, kConnectTimeoutMs));

        // A page given up on the device no longer follows it.
        info.setDevice(nullptr);
        EXPECT_FALSE(infoShowsConnected(&info));
        emit device.connected();
        EXPECT_FALSE(infoShowsConnected(&info));
        DeviceIdentity later = device.identity();
        later.softwareVersion = QStringLiteral("9.9.9");
        emit device.identityChanged(later);
        EXPECT_EQ(labelText(&info, "versionLabel"), QStringLiteral("1.0.7"));
    }
}

TEST_F(InfoWidgetTest, PictureIsScaledIntoFourHundredPixelsKeepingItsAspect)
{
    InfoWidget info;
    QPixmap wide(800, 600);
    wide.fill(Qt::red);
    info.setPixmap(wide);
    auto* picture = info.findChild<QLabel*>(QStringLiteral("deviceImageLabel"));
    EXPECT_EQ(picture->pixmap(Qt::ReturnByValue).size(), QSize(400, 300));
    info.setPixmap(QPixmap());
    EXPECT_TRUE(picture->pixmap(Qt::ReturnByValue).isNull());
}

} // namespace
