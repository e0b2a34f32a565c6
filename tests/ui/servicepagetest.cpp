// The Service page through the real stack: main window, USB manager, device kinds and jobs against the
// simulated instruments on the emulated bus. What a technician does: update firmware, reset, save the
// device log, work the acoustic sensor's touch panel and the control unit's languages, and unplug in
// the middle of any of it.
#include "devices/cdcthreshold.h"
#include "devices/tymbrelsensor.h"
#include "servicepagefixture.h"
#include "sim/simprotocol.h"
#include "ui/languageswidgetcontrolunit.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/progressdialog.h"
#include "ui/servicewidgetcontrolunit.h"
#include "ui/servicewidgettymbrel.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>

namespace {

using namespace SimProtocol;

constexpr quint32 kFrench = 0x2000000B;
constexpr quint32 kPolish = 0x20000018;
constexpr quint32 kBulgarian = 0x20000021;

using ServicePageTest = ServicePageFixture;

TEST_F(ServicePageTest, ChosenFirmwareIsShownUpdatedWithProgressAndRunsAfterTheReboot)
{
    auto unit = plugControlUnit();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    const QPointer<BaseDevice> original = device; // gone after the reboot
    auto* update = child<QAbstractButton>(service(), "updateFirmwareButton");
    const QString path = firmware.tagged("5.0.1", {"X9", device->hardwareRevision()}, 3000, /*develop=*/true);
    chooseFile(path);

    // The header read-out, and the file heads the history.
    EXPECT_EQ(child<QLabel>(service(), "firmwareVersionLabel")->text(), QStringLiteral("5.0.1"));
    // The file's texts are quoted as plain text: what the tool tip shows is exactly them.
    QTextDocument shown;
    shown.setHtml(child<QLabel>(service(), "firmwareVersionLabel")->toolTip());
    EXPECT_EQ(shown.toPlainText(),
              QStringLiteral("Hardware type: Tymbrel\nSupported Hardware: X9;%1\nRelease date: 2026-12-01")
                  .arg(device->hardwareRevision()));
    EXPECT_EQ(child<QPlainTextEdit>(service(), "firmwareChangelogEdit")->toPlainText(), "Changes of 5.0.1");
    EXPECT_TRUE(child(service(), "firmwareInfoWidget")->isVisible());
    EXPECT_TRUE(child(service(), "developLabel")->isVisible());
    EXPECT_EQ(Settings::instance()->firmwareFile(0), path);
    ASSERT_TRUE(update->isEnabled());

    // What the progress dialog shows whenever the job reports.
    QList<QPair<int, int>> bar;
    QStringList texts;
    QObject::connect(device, &BaseDevice::progressChanged, window.get(), [&](QString name) {
        if (name == QLatin1String("WriteFirmwareJob") && window->progress()->bar()->isVisible()) {
            bar << qMakePair(window->progress()->bar()->value(), window->progress()->bar()->maximum());
            texts << window->progress()->findChild<QLabel*>(QStringLiteral("label"))->text();
        }
    });
    update->click();
    update->click(); // a double click queues one update
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->rebootCount() == 1; }, kTimeoutMs));
    EXPECT_EQ(unit->countReceived(FirmwareStart), 1u);
    ASSERT_GE(bar.size(), 3);
    EXPECT_EQ(bar.first(), qMakePair(0, 3000 - 0));
    EXPECT_EQ(bar.last(), qMakePair(3000, 3000));
    EXPECT_EQ(texts.last(), QStringLiteral("Verifying..."));
    EXPECT_EQ(texts.first(), QStringLiteral("Writing firmware..."));
    EXPECT_TRUE(noted(QStringLiteral("Firmware update successful! Restart device...")));

    // The instrument comes back running the new version.
    BaseDevice* rebooted = attach(original);
    ASSERT_NE(rebooted, nullptr);
    EXPECT_EQ(rebooted->softwareVersion(), QStringLiteral("5.0.1"));
}

// Only Yes resets, and only the instrument the question was asked about: one swapped in while the
// question is open is left alone.
TEST_F(ServicePageTest, FactoryResetOnlyAfterYesAndOnlyTheAskedInstrument)
{
    struct Case
    {
        QMessageBox::StandardButton answer;
        bool swap; // unplug and plug another unit while the question is open
        int resets;
    };
    auto unit = plugControlUnit();
    ASSERT_NE(attach(), nullptr);
    for (const Case& c : {Case{QMessageBox::Cancel, false, 0}, Case{QMessageBox::Yes, true, 0},
                          Case{QMessageBox::Yes, false, 1}}) {
        SCOPED_TRACE(c.swap ? "swapped" : "kept");
        child<QAbstractButton>(service(), "factoryResetButton")->click();
        auto* box = dialog<QMessageBox>("factoryResetQuestion");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(),
                  "This will reset the device to its factory settings.\nAre you sure you want to reset?");
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Cancel));
        const auto first = unit;
        if (c.swap) {
            bus().unplug(unit);
            ASSERT_TRUE(waitDetached());
            unit = plugControlUnit();
            ASSERT_NE(attach(), nullptr);
            ASSERT_TRUE(box->isVisible());
        }
        answer(box, c.answer);
        QTest::qWait(500);
        EXPECT_TRUE(QTest::qWaitFor([&] { return unit->factoryResetCount() == c.resets; }, kTimeoutMs))
            << c.answer;
        EXPECT_EQ(first->factoryResetCount(), c.resets);
        if (c.swap) {
            EXPECT_EQ(unit->countReceived(FactoryReset), 0u);
        }
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return noted("Factory settings restored."); }, kTimeoutMs));
}

TEST_F(ServicePageTest, DeviceLogIsSavedAndABrokenDownloadOpensNoDialog)
{
    auto unit = plugControlUnit();
    unit->setLog({'f', 'i', 'r', 's', 't', 0, 'l', 'i', 'n', 'e'});
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(child(service(), "logWidget")->isVisible()); // built, but not offered
    auto* download = child<QAbstractButton>(service(), "downloadLogsButton");

    const QString saved = files.filePath(QStringLiteral("device.log"));
    download->click();
    auto* save = dialog<QFileDialog>("saveLogsDialog");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->windowTitle(), QStringLiteral("Save Logs"));
    EXPECT_EQ(save->nameFilters(), QStringList{QStringLiteral("Log File (*.log)")});
    emit save->fileSelected(saved);
    save->reject();
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first\nline"));

    // A save that cannot be written is reported.
    download->click();
    save = dialog<QFileDialog>("saveLogsDialog");
    ASSERT_NE(save, nullptr);
    emit save->fileSelected(files.filePath(QStringLiteral("missing-dir/device.log")));
    save->reject();
    EXPECT_TRUE(noted(QStringLiteral("The device log could not be saved to")));

    // A download that broke off: a message, no dialog.
    unit->setLog(SimProtocol::Bytes(3000, uint8_t('x')));
    unit->faults().stopStreamAfter(ReadLog, 1, 1);
    download->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return noted("The device log could not be read"); }, 15000));
    QTest::qWait(200);
    EXPECT_EQ(service()->findChild<QFileDialog*>(QStringLiteral("saveLogsDialog")), nullptr);
}

TEST_F(ServicePageTest, TouchPanelMonitorsOnlyWhileShownAndSavesValidThresholds)
{
    auto sensor = plugAcousticSensor();
    auto* device = qobject_cast<TymbrelSensor*>(attach());
    ASSERT_NE(device, nullptr);
    auto* panel = qobject_cast<ServiceWidgetTymbrel*>(service()->servicePanel());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->isVisible(); }, 20000));
    EXPECT_TRUE(device->isMonitoringTouchState());

    auto* state = child<QLabel>(panel, "touchProtectStateLabel");
    for (bool touched : {true, false, true}) {
        sensor->setTouchOverride(touched);
        EXPECT_TRUE(QTest::qWaitFor([&] { return state->property("touched") == QVariant(touched); }, 20000))
            << touched;
    }
    window->sidebar()->setCurrentPage(MainWindow::InfoPage);
    EXPECT_FALSE(device->isMonitoringTouchState());
    window->sidebar()->setCurrentPage(MainWindow::ServicePage);
    EXPECT_TRUE(device->isMonitoringTouchState());

    auto* current = child<QLineEdit>(panel, "touchProtect_CurrentThresholdEdit");
    auto* calibrated = child<QLineEdit>(panel, "touchProtect_CalibratedThresholdEdit");
    EXPECT_TRUE(calibrated->isReadOnly());
    EXPECT_EQ(calibrated->text(), QString::number(device->calibratedCdcThreshold()));
    EXPECT_EQ(current->text(), QString::number(device->savedCdcThreshold()));
    auto* save = child<QAbstractButton>(panel, "touchProtect_SaveThresholdButton");

    // Out of range: not sent, not stored.
    current->setText(QStringLiteral("5000"));
    save->click();
    QTest::qWait(300);
    EXPECT_EQ(sensor->countReceived(CdcStoreThreshold), 0u);

    // Steps of 8 post the working threshold; a double-clicked save stores once.
    current->setText(QStringLiteral("1500"));
    child<QAbstractButton>(panel, "touchProtect_insensitiveButton")->click();
    EXPECT_EQ(current->text(), QStringLiteral("1508"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return sensor->postedRawThreshold() == CdcThreshold::toRaw(1508); }, 20000));
    save->click();
    save->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sensor->storedRawThreshold() == CdcThreshold::toRaw(1508); }, 20000));
    ASSERT_TRUE(waitIdle(device));
    EXPECT_EQ(sensor->countReceived(CdcStoreThreshold), 1u);
    EXPECT_EQ(device->savedCdcThreshold(), 1508);
    EXPECT_EQ(current->text(), QStringLiteral("1508"));

    // Cancel falls back to the calibrated value.
    child<QAbstractButton>(panel, "touchProtectCancelButton")->click();
    EXPECT_EQ(current->text(), calibrated->text());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return sensor->postedRawThreshold() == CdcThreshold::toRaw(calibrated->text().toInt()); },
        20000));
}

TEST_F(ServicePageTest, LanguagesAreReadChangedAndSetAndTheUnitRebootsWithThem)
{
    auto unit = plugControlUnit();
    unit->storeOption(kPolish, SimInstrument::int32Value(1));
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    const QPointer<BaseDevice> original = device; // gone after the reboot
    auto* panel = qobject_cast<ServiceWidgetControlUnit*>(service()->servicePanel());
    ASSERT_NE(panel, nullptr);
    auto* set = child<QAbstractButton>(panel, "sendLanguagesToDevice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return set->isEnabled(); }, kTimeoutMs));
    EXPECT_TRUE(panel->languages()->isTicked(kPolish));
    EXPECT_FALSE(panel->languages()->isTicked(kFrench));
    EXPECT_TRUE(panel->languages()->box(kBulgarian)->isEnabled()); // this unit knows every language

    panel->languages()->box(kFrench)->click();
    unit->clearReceived();
    set->click();
    set->click(); // one set, one reboot
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->rebootCount() == 1; }, kTimeoutMs));
    EXPECT_EQ(unit->countReceived(SetOption), 18u);
    EXPECT_EQ(SimInstrument::toByteArray(*unit->permanentOption(kFrench)),
              SimInstrument::toByteArray(SimInstrument::int32Value(1)));

    ASSERT_NE(attach(original), nullptr);
    auto* fresh = qobject_cast<ServiceWidgetControlUnit*>(service()->servicePanel());
    ASSERT_NE(fresh, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return child<QAbstractButton>(fresh, "sendLanguagesToDevice")->isEnabled(); }, kTimeoutMs));
    EXPECT_TRUE(fresh->languages()->isTicked(kFrench));
    EXPECT_TRUE(fresh->languages()->isTicked(kPolish));

    // Nothing ticked: refused, nothing written.
    for (quint32 id : LanguagesWidgetControlUnit::languageIds()) {
        fresh->languages()->box(id)->setChecked(false);
    }
    unit->clearReceived();
    child<QAbstractButton>(fresh, "sendLanguagesToDevice")->click();
    QTest::qWait(300);
    EXPECT_EQ(unit->countReceived(SetOption), 0u);
    EXPECT_TRUE(noted(QStringLiteral("Select at least one language.")));
}

// A unit older than the newest language has no option for it: the set is offered once every language
// it knows was reported, and consists of those.
TEST_F(ServicePageTest, LanguageSetOfAnOlderUnitWaitsForAndSendsOnlyTheLanguagesItKnows)
{
    auto unit =
        std::make_shared<SimControlUnit>(SimFirmware::Current, SimControlUnit::Languages::BeforeBulgarian);
    plug(unit);
    ASSERT_NE(attach(), nullptr);
    auto* panel = qobject_cast<ServiceWidgetControlUnit*>(service()->servicePanel());
    ASSERT_NE(panel, nullptr);
    auto* set = child<QAbstractButton>(panel, "sendLanguagesToDevice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return set->isEnabled(); }, kTimeoutMs));
    EXPECT_FALSE(panel->languages()->box(kBulgarian)->isEnabled());

    unit->clearReceived();
    set->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->countReceived(WriteOptions) == 1; }, kTimeoutMs));
    EXPECT_EQ(unit->countReceived(SetOption), 17u);
    for (const auto& packet : unit->received()) {
        if (packet.size() >= 8 && wordAt(packet, 0) == SetOption) {
            EXPECT_TRUE(unit->knowsOption(wordAt(packet, 4))) << std::hex << wordAt(packet, 4);
        }
    }
}

// Unplugged in the middle of each operation: no crash, the page lets go of the device and its panel.
TEST_F(ServicePageTest, UnplugDuringEachOperationDetachesThePage)
{
    struct Case
    {
        const char* label;
        bool sensor;
        std::function<void(ServicePageTest&, SimInstrument&)> start;
    };
    const Case cases[] = {
        {"firmware update", false,
         [](ServicePageTest& t, SimInstrument& instrument) {
             t.chooseFile(t.firmware.tagged("6.0.0", {"ALL"}, 20000));
             instrument.faults().unplugAfterPackets(10);
             child<QAbstractButton>(t.service(), "updateFirmwareButton")->click();
         }},
        {"reset question open", false,
         [](ServicePageTest& t, SimInstrument&) {
             child<QAbstractButton>(t.service(), "factoryResetButton")->click();
             t.bus().unplugAll();
         }},
        {"touch monitoring", true,
         [](ServicePageTest&, SimInstrument& instrument) {
             QTest::qWait(600);
             instrument.faults().unplugAfterPackets(1);
         }},
        {"touch calibration", true,
         [](ServicePageTest& t, SimInstrument& instrument) {
             instrument.faults().unplugAfterPackets(3000);
             auto* panel = qobject_cast<ServiceWidgetTymbrel*>(t.service()->servicePanel());
             child<QAbstractButton>(panel->calibrationPanel(), "btnCdcStartCalibration")->click();
         }},
        {"language set", false,
         [](ServicePageTest& t, SimInstrument& instrument) {
             auto* panel = qobject_cast<ServiceWidgetControlUnit*>(t.service()->servicePanel());
             ASSERT_NE(panel, nullptr);
             auto* set = child<QAbstractButton>(panel, "sendLanguagesToDevice");
             ASSERT_TRUE(QTest::qWaitFor([&] { return set->isEnabled(); }, kTimeoutMs));
             instrument.faults().unplugAfterPackets(3);
             set->click();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::shared_ptr<SimInstrument> instrument =
            c.sensor ? std::shared_ptr<SimInstrument>(plugAcousticSensor()) : plugControlUnit();
        ASSERT_NE(attach(), nullptr);
        QPointer<DeviceWidget> panel = service()->servicePanel();
        ASSERT_FALSE(panel.isNull());
        c.start(*this, *instrument);
        ASSERT_TRUE(waitDetached());
        EXPECT_EQ(service()->servicePanel(), nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return panel.isNull(); }, 20000)); // deleted
        EXPECT_EQ(service()->findChild<QFileDialog*>(), nullptr);
        closeDialogs();
    }
}

} // namespace
