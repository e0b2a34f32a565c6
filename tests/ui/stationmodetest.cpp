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
        const QJsonArray options{option(0x20000000, "uint32_t", 11), option(0x20000001, "uint32_t", 22)};
        const QString dir =
            writeOptionFile("VS", {function("Locator", options, {}, "A")}, "line", FirmwareCipher::FlagHash);
        image = firmwareIn(dir, "locator.firmware", "2.0.0");
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
    const QString fail = "FAIL VE-22-00301\nkind: a Vectaris Emitter of device type \"VE\", PCB "
                         "\"B\" is not a board for function Locator (VS)";
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
    EXPECT_EQ(sensor->permanentOption(SimDefaults::DeviceSerialNumber),
              SimInstrument::textValue("LINE-0001"));

    station<QAbstractButton>("btnStop")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !production()->stationPanel()->isRunning(); }, kTimeoutMs));
    EXPECT_TRUE(child<QCheckBox>(production(), "checkStationMode")->isEnabled());
}

} // namespace
