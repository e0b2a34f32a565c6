// The calibration sweep started from the acoustic sensor's service panel, through the real stack. A
// sweep is some 16 000 transfers on the emulated bus: seconds per case, hence its own binary.
#include "devices/tymbrelsensor.h"
#include "servicepagefixture.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/progressdialog.h"
#include "ui/servicewidgettymbrel.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTranslator>

namespace {

constexpr int kSweepTimeoutMs = 60000;

// A translation of the final step's message: the panel must tell the outcome all the same.
class FinalInGerman : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* sourceText, const char*, int) const override
    {
        return qstrcmp(sourceText, "Final") == 0 ? QStringLiteral("Endwert") : QString();
    }
};

using TouchCalibrationTest = ServicePageFixture;

TEST_F(TouchCalibrationTest, CalibrationFromThePanelShowsProgressAndReadsTheResultBack)
{
    struct Case
    {
        const char* label;
        bool neverSwitches;
        const char* finalText;  // prefix of the read-out when the job is back
        const char* calibrated; // null: what the instrument held before
    };
    const Case cases[] = {
        {"switches at 1000", false, "CdcCalibrationJob : Endwert 1000", "1000"},
        // Nothing to store: said as a warning, and the instrument keeps its calibration.
        {"never switches", true, "Touch sensor calibration found no usable threshold", nullptr},
    };
    FinalInGerman german;
    QCoreApplication::installTranslator(&german);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto sensor = plugAcousticSensor();
        sensor->setTouchOverride(c.neverSwitches ? std::optional<bool>(true) : std::nullopt);
        auto* device = qobject_cast<TymbrelSensor*>(attach());
        ASSERT_NE(device, nullptr);
        auto* panel = qobject_cast<ServiceWidgetTymbrel*>(service()->servicePanel());
        ASSERT_NE(panel, nullptr);
        ProductionWidgetTymbrel* calibration = panel->calibrationPanel();
        auto* label = child<QLabel>(calibration, "lblCdcValue");
        auto* calibrated = child<QLineEdit>(panel, "touchProtect_CalibratedThresholdEdit");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !calibrated->text().isEmpty(); }, 20000));
        const QString before = calibrated->text();

        int sweepsStarted = 0;
        int dialogMaximum = 0;
        QObject::connect(device, &BaseDevice::progressChanged, window.get(),
                         [&](QString name, int value, int, QString message) {
                             if (name == "CdcCalibrationJob" && value == 0 && message == "Bottom up....") {
                                 ++sweepsStarted;
                             }
                             dialogMaximum = std::max(dialogMaximum, window->progress()->bar()->maximum());
                         });
        auto* start = child<QAbstractButton>(calibration, "btnCdcStartCalibration");
        start->click();
        start->click(); // one sweep, not two
        ASSERT_TRUE(QTest::qWaitFor([&] { return label->text().startsWith(c.finalText); }, kSweepTimeoutMs))
            << label->text().toStdString();
        if (!c.neverSwitches) {
            EXPECT_EQ(label->text(), QLatin1String(c.finalText)); // the final value, not a progress step
        }
        EXPECT_EQ(sweepsStarted, 1);
        EXPECT_EQ(dialogMaximum, 4096);
        EXPECT_EQ(label->property("warning").toBool(), c.neverSwitches);
        // What the instrument holds now shows in the read-only field.
        const QString expected = c.calibrated ? QString::fromLatin1(c.calibrated) : before;
        EXPECT_TRUE(QTest::qWaitFor([&] { return calibrated->text() == expected; }, 20000))
            << calibrated->text().toStdString();
        ASSERT_TRUE(waitIdle(device));
        QTest::qWait(200);
        EXPECT_EQ(sweepsStarted, 1);

        bus().unplug(sensor);
        ASSERT_TRUE(waitDetached());
    }
}

TEST_F(TouchCalibrationTest, DevelopPageRunsOneSweepPerClick)
{
    window->setStaffPages(true, true);
    plugAcousticSensor();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    window->sidebar()->setCurrentPage(MainWindow::DevelopPage);
    int sweeps = 0;
    QObject::connect(device, &BaseDevice::jobResult, window.get(),
                     [&](QString name, int, QString) { sweeps += name == "CdcCalibrationJob" ? 1 : 0; });
    auto* calibrate = child<QAbstractButton>(window->page(MainWindow::DevelopPage), "cdcCalibrationButton");
    for (int click = 1; click <= 2; ++click) {
        calibrate->click();
        calibrate->click(); // while the sweep runs: ignored
        ASSERT_TRUE(QTest::qWaitFor([&] { return sweeps == click && device->pendingJobCount() == 0; }, 30000))
            << "click " << click << ", sweeps " << sweeps;
    }
    QTest::qWait(100);
    EXPECT_EQ(sweeps, 2);
}

} // namespace
