// The main window and the Info page with instruments: simulated instruments on the emulated USB bus,
// discovered by the real USB manager, so that the page hand-over runs exactly as in the field.
#include "devices/controlunit.h"
#include "sim/simdefaults.h"
#include "ui/developwidget.h"
#include "ui/infowidget.h"
#include "ui/measurementswidget.h"
#include "ui/productionwidget.h"
#include "ui/progressdialog.h"
#include "usb/connectiondoctor.h"
#include "windowfixture.h"

#include <QLabel>
#include <QStackedWidget>

namespace {

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

class MainWindowDeviceTest : public WindowFixture
{
protected:
    bool visible(int id) const { return window->sidebar()->button(id)->isVisible(); }

    void expectDetached()
    {
        EXPECT_EQ(service()->device(), nullptr);
        EXPECT_EQ(page<MeasurementsWidget>(MainWindow::MeasurementsPage)->device(), nullptr);
        EXPECT_FALSE(infoShowsConnected(window->page(MainWindow::InfoPage)));
        for (int id : {2, 3, 4, 5}) {
            EXPECT_FALSE(visible(id)) << id;
        }
    }
};

} // namespace

// An instrument that cannot be opened: the cause and the fix are said once in the notification bar and
// stay on the Info page until it is unplugged; then the page says again what the tool waits for.
TEST_F(MainWindowDeviceTest, InfoPageSaysWhatKeepsAnInstrumentFromBeingUsed)
{
    QWidget* info = window->page(MainWindow::InfoPage);
    EXPECT_EQ(labelText(info, "connectionStatusLabel"), ConnectionDoctor::waitingText());
    auto unit = plugControlUnit();
    unit->faults().failClaimInterface(true);
    manager()->setPollInterval(30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->notificationBar()->isVisible(); }, kTimeoutMs));
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

    BaseDevice* device = served();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    for (int id : {2, 3, 4, 5}) { // Measurements and Service only
        EXPECT_EQ(visible(id), id == MainWindow::MeasurementsPage || id == MainWindow::ServicePage) << id;
    }
    EXPECT_EQ(page<MeasurementsWidget>(MainWindow::MeasurementsPage)->device(), device);
    EXPECT_EQ(page<ProductionWidget>(MainWindow::ProductionPage)->device(), nullptr);
    EXPECT_EQ(page<DevelopWidget>(MainWindow::DevelopPage)->device(), nullptr);

    QWidget* info = window->page(MainWindow::InfoPage);
    EXPECT_TRUE(infoShowsConnected(info));
    EXPECT_EQ(labelText(info, "deviceNameLabel"), "Control Unit");
    EXPECT_TRUE(QTest::qWaitFor([&] { return labelText(info, "versionLabel") == "3.1.4"; }, kTimeoutMs));
    EXPECT_EQ(labelText(info, "serialLabel"), "CU-000815");
    auto* picture = info->findChild<QLabel*>("deviceImageLabel");
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

// About stays whatever comes and goes; from any other page the window returns to Info.
TEST_F(MainWindowDeviceTest, UnplugOrRemovalDetachesThePagesAndReturnsToInfoUnlessAboutIsShown)
{
    auto unit = plugControlUnit();
    window->sidebar()->setCurrentPage(MainWindow::AboutPage);
    ASSERT_NE(served(), nullptr);
    EXPECT_EQ(window->sidebar()->checkedId(), MainWindow::AboutPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::AboutPage));
    EXPECT_TRUE(visible(MainWindow::ServicePage));
    bus().unplug(unit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager()->addresses().isEmpty(); }, kTimeoutMs));
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::AboutPage));
    expectDetached();

    unit = plugControlUnit();
    ASSERT_NE(served(), nullptr);
    window->sidebar()->setCurrentPage(MainWindow::MeasurementsPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::MeasurementsPage));

    bus().unplug(unit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager()->addresses().isEmpty(); }, kTimeoutMs));
    EXPECT_EQ(window->sidebar()->checkedId(), MainWindow::InfoPage);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    expectDetached();
    EXPECT_EQ(labelText(window->page(MainWindow::InfoPage), "disconnectedLabel"), "No device connected!");

    // The next instrument is taken up as usual, with its own pages: a sensor holds no series.
    plugAcousticSensor();
    ASSERT_NE(served(), nullptr);
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    EXPECT_TRUE(visible(MainWindow::ServicePage));
    for (int id : {MainWindow::MeasurementsPage, MainWindow::ProductionPage, MainWindow::DevelopPage}) {
        EXPECT_FALSE(visible(id)) << id;
    }
    EXPECT_EQ(page<MeasurementsWidget>(MainWindow::MeasurementsPage)->device(), nullptr);
    EXPECT_EQ(labelText(window->page(MainWindow::InfoPage), "deviceNameLabel"), "Tymbrel Sensor");

    // Removed without a disconnect: the pages let go all the same.
    window->sidebar()->setCurrentPage(MainWindow::ServicePage);
    window->usbDeviceRemoved(manager()->addresses().first());
    EXPECT_EQ(window->currentPage(), window->page(MainWindow::InfoPage));
    expectDetached();
}

// A device that goes between a job's busy and idle never reports idle: the modal window it raised goes
// with it, and only with it.
TEST_F(MainWindowDeviceTest, ProgressWindowGoesWithTheDeviceItWasShownFor)
{
    plugControlUnit();
    BaseDevice* device = served();
    ASSERT_NE(device, nullptr);
    const UsbBusDeviceAddress address = manager()->addresses().first();
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

namespace {

using InfoWidgetTest = SimUsbFixture;
constexpr int kTimeoutMs = WindowFixture::kTimeoutMs;

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
        ASSERT_TRUE(QTest::qWaitFor([&] { return infoShowsConnected(&info); }, kTimeoutMs));
        EXPECT_TRUE(QTest::qWaitFor([&] { return labelText(&info, "versionLabel") == "1.0.7"; }, kTimeoutMs));

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
