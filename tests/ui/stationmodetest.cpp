// The Production page's station mode with simulated boards: one that passes and one of another kind,
// shown as the command line's station reports them.
#include "servicepagefixture.h"
#include "sim/simdefaults.h"
#include "sim/simemitter.h"
#include "sim/simlocatorsensor.h"
#include "ui/productionwidget.h"
#include "ui/stationpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>

namespace {

class StationModeTest : public ServicePageFixture
{
public:
    void SetUp() override
    {
        ServicePageFixture::SetUp();
        window->setStaffPages(true, true);
        QDir(files.path()).mkpath(QStringLiteral("line"));
        const QString dir = files.filePath(QStringLiteral("line"));
        const QJsonObject option0{{"id", QString::number(0x20000000)}, {"type", "uint32_t"}, {"value", 11}};
        const QJsonObject option1{{"id", QString::number(0x20000001)}, {"type", "uint32_t"}, {"value", 22}};
        const QJsonObject description{
            {"devices",
             QJsonArray{QJsonObject{
                 {"device_type", "VS"},
                 {"functions", QJsonArray{QJsonObject{{"name", "Locator"},
                                                      {"pcb_versions", QJsonArray{"A"}},
                                                      {"options", QJsonArray{option0, option1}}}}}}}}};
        ASSERT_TRUE(packer.save(QDir(dir).filePath("file.options"),
                                packer.packJson(description, FirmwareCipher::FlagHash)));
        image = QDir(dir).filePath("locator.firmware");
        ASSERT_TRUE(QFile::copy(firmware.tagged("2.0.0", {"ALL"}), image));
        Settings::instance()->addFirmwareFile(image); // makes `dir` the firmware directory
    }

    template <typename T = QWidget> T* station(const char* name) const
    {
        return child<T>(production()->stationPanel(), name);
    }
    ProductionWidget* production() const { return page<ProductionWidget>(MainWindow::ProductionPage); }
    // The headline, then the reason or what to do next.
    QString state() const
    {
        return station<QLabel>("lblState")->text() + QLatin1Char('\n') + station<QLabel>("lblReason")->text();
    }
    QListWidget* boards() const { return station<QListWidget>("listBoards"); }

    // Plugs `board` and waits until the station has its verdict on it.
    void runBoard(const std::shared_ptr<SimInstrument>& board)
    {
        const int before = boards()->count();
        plug(board);
        manager()->pollNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return boards()->count() > before; }, 60000))
            << state().toStdString();
    }

    QString image; // the line's firmware file
};

TEST_F(StationModeTest, ABoardThatPassesAndOneOfAnotherKindReadAsOnTheCommandLine)
{
    window->sidebar()->setCurrentPage(MainWindow::ProductionPage);
    child<QCheckBox>(production(), "checkStationMode")->setChecked(true);
    ASSERT_TRUE(production()->stationPanel()->isVisible());
    auto* function = station<QComboBox>("comboFunction");
    ASSERT_GE(function->findText(QStringLiteral("Locator")), 0);
    function->setCurrentText(QStringLiteral("Locator"));
    station<QLineEdit>("editFirmware")->setText(image);
    station<QComboBox>("comboSerials")->setCurrentIndex(1);
    station<QLineEdit>("editRange")->setText(QStringLiteral("LINE-0001..LINE-0009"));
    station<QAbstractButton>("btnStart")->click();
    ASSERT_TRUE(production()->stationPanel()->isRunning()) << state().toStdString();
    EXPECT_EQ(state(), QStringLiteral("Waiting for a board\n"));

    auto sensor = std::make_shared<SimLocatorSensor>();
    sensor->storeOption(SimDefaults::DeviceSerialNumber, {});
    runBoard(sensor);
    EXPECT_TRUE(state().startsWith(QStringLiteral("PASS LINE-0001\n"))) << state().toStdString();
    bus().unplug(sensor);

    runBoard(std::make_shared<SimEmitter>());
    const QString fail =
        QStringLiteral("FAIL VE-22-00301\nkind: a Vectaris Emitter of device type \"VE\", PCB "
                       "\"B\" is not a board for function Locator (VS)");
    EXPECT_TRUE(state().startsWith(fail)) << state().toStdString();
    EXPECT_TRUE(station<QLabel>("lblCounters")->text().startsWith(QStringLiteral("Passed: 1    Failed: 1")))
        << station<QLabel>("lblCounters")->text().toStdString();

    // Boards came, restarted and went: the window stayed on the station.
    EXPECT_EQ(window->sidebar()->checkedId(), int(MainWindow::ProductionPage));

    // Newest first, in the command line's words.
    ASSERT_EQ(boards()->count(), 2);
    EXPECT_TRUE(boards()->item(0)->text().startsWith("FAIL VE-22-00301 kind: a Vectaris Emitter"))
        << boards()->item(0)->text().toStdString();
    EXPECT_TRUE(QRegularExpression("^PASS LINE-0001 \\d+ s$").match(boards()->item(1)->text()).hasMatch())
        << boards()->item(1)->text().toStdString();
    const SimProtocol::Bytes serial =
        sensor->permanentOption(SimDefaults::DeviceSerialNumber).value_or(SimProtocol::Bytes());
    EXPECT_EQ(std::string(serial.begin(), serial.end()), "LINE-0001");

    station<QAbstractButton>("btnStop")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !production()->stationPanel()->isRunning(); }, kTimeoutMs));
    EXPECT_TRUE(child<QCheckBox>(production(), "checkStationMode")->isEnabled());
}

} // namespace
