// The Service page and its panels without an instrument: device objects that never connect, driven by
// their signals. History, hand-over and clean-up, threshold arithmetic, language reports and the
// calibration read-out.
#include "core/settings.h"
#include "devices/controlunit.h"
#include "devices/devicefactory.h"
#include "devices/instrumentkind.h"
#include "devices/jobs/cdccalibrationjob.h"
#include "devices/tymbrelsensor.h"
#include "ui/languageswidgetcontrolunit.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/servicewidget.h"
#include "ui/servicewidgetcontrolunit.h"
#include "ui/servicewidgettymbrel.h"
#include "ui/uipanelfactory.h"
#include "uitestenvironment.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

QByteArray word(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

TEST(ServicePanelsTest, HistorySkipsFilesDeletedFromDisk)
{
    // The application name holds a '/', so the default template would name a missing directory.
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/service-panels-XXXXXX"));
    QStringList paths;
    for (const char* name : {"a.firmware", "b.firmware", "c.firmware"}) {
        paths << dir.filePath(QLatin1String(name));
        QFile file(paths.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        Settings::instance()->addFirmwareFile(paths.last()); // newest first: c, b, a
    }
    QFile::remove(paths[1]);
    ServiceWidget page;
    auto* combo = child<QComboBox>(&page, "comboBoxLastFilePaths");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QDir::toNativeSeparators(paths[2]));
    EXPECT_EQ(combo->itemText(1), QDir::toNativeSeparators(paths[0]));
    EXPECT_FALSE(child<QAbstractButton>(&page, "updateFirmwareButton")->isEnabled()); // empty files
}

TEST(ServicePanelsTest, HandOverConnectsOnceKeepsTheKindsPanelAndDetachingDropsEverything)
{
    ServiceWidget page;
    page.show();
    ControlUnit first(nullptr);
    ControlUnit second(nullptr);
    auto saveDialogs = [&] { return page.findChildren<QFileDialog*>("saveLogsDialog").size(); };

    page.setDevice(&first);
    page.setDevice(&first); // twice: connected once
    emit first.logDownloadFinsihed(QStringLiteral("log"));
    EXPECT_EQ(saveDialogs(), 1);
    QSignalSpy updates(&first, &BaseDevice::runJob);

    // Swapped: the old device's late log reaches nobody, the page's requests go to the new one only,
    // and the open save dialog of the old device is closed.
    page.setDevice(&second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(saveDialogs(), 0);
    emit first.logDownloadFinsihed(QStringLiteral("late"));
    EXPECT_EQ(saveDialogs(), 0);
    emit page.factoryReset();
    EXPECT_EQ(updates.count(), 0);
    EXPECT_EQ(second.pendingJobCount(), 1);

    page.setDevice(nullptr);
    page.setDevice(nullptr); // clean-up twice is harmless
    emit second.logDownloadFinsihed(QStringLiteral("late"));
    EXPECT_EQ(saveDialogs(), 0);

    // A kind's panel is kept while the page shows it and let go with the device.
    TymbrelSensor sensor(nullptr);
    std::unique_ptr<UsbInstrument> locator(DeviceFactory().create(0x29520004, nullptr, nullptr));
    auto* locatorDevice = qobject_cast<BaseDevice*>(locator.get());
    page.setDevice(&sensor);
    QPointer<DeviceWidget> panel = page.servicePanel();
    ASSERT_NE(qobject_cast<ServiceWidgetTymbrel*>(panel), nullptr);
    EXPECT_EQ(UiPanelFactory::panel(&sensor, UiPanelFactory::Role::Service, nullptr), panel.data()); // kept
    EXPECT_TRUE(sensor.isMonitoringTouchState()); // shown on a visible page

    emit sensor.disconnected(); // clean-up on the signal, then again on the hand-over
    page.setDevice(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(panel.isNull());
    EXPECT_FALSE(sensor.isMonitoringTouchState());
    EXPECT_EQ(page.servicePanel(), nullptr);

    page.setDevice(&sensor); // a fresh panel for the same device
    EXPECT_NE(page.servicePanel(), nullptr);
    page.setDevice(locatorDevice); // no service panel
    EXPECT_EQ(page.servicePanel(), nullptr);
}

// Every row of the kind table: its picture is among the artwork, and its panels are the ones the row
// names, made once per device, made afresh once a page let one go, and deleted with their device.
TEST(ServicePanelsTest, EveryKindHasItsPictureAndItsRowsPanels)
{
    using Panel = InstrumentKind::Panel;
    using Role = UiPanelFactory::Role;
    const std::map<Panel, const char*> production{{Panel::ControlUnit, "ProductionWidgetControlUnit"},
                                                  {Panel::AcousticSensor, "ProductionWidgetTymbrel"},
                                                  {Panel::Locator, "ProductionWidgetVectaris"},
                                                  {Panel::Emitter, "ProductionWidgetVectarisEmitter"},
                                                  {Panel::UpdateOnly, "ProductionWidgetUpdateOnly"}};
    const std::map<Panel, const char*> service{{Panel::ControlUnit, "ServiceWidgetControlUnit"},
                                               {Panel::AcousticSensor, "ServiceWidgetTymbrel"}};
    for (const InstrumentKind& kind : InstrumentKind::all()) {
        SCOPED_TRACE(kind.key);
        EXPECT_FALSE(QPixmap(QString::fromLatin1(kind.picture)).isNull());
        std::unique_ptr<UsbInstrument> created(DeviceFactory().create(kind.usbId, nullptr, nullptr));
        auto* device = qobject_cast<BaseDevice*>(created.get());
        ASSERT_NE(device, nullptr);
        QPointer<DeviceWidget> panels[2];
        for (const Role role : {Role::Production, Role::Service}) {
            const Panel named = role == Role::Service ? kind.servicePanel : kind.productionPanel;
            const auto& names = role == Role::Service ? service : production;
            const auto found = names.find(named);
            const char* expected = found == names.end() ? nullptr : found->second;
            DeviceWidget* panel = UiPanelFactory::panel(device, role, nullptr);
            ASSERT_EQ(panel != nullptr, expected != nullptr);
            if (!panel) {
                continue;
            }
            EXPECT_STREQ(panel->metaObject()->className(), expected);
            EXPECT_EQ(panel->device(), device);
            EXPECT_EQ(UiPanelFactory::panel(device, role, nullptr), panel); // kept, not made twice
            UiPanelFactory::release(panel);
            UiPanelFactory::release(panel); // twice is harmless
            delete panel;
            panels[role == Role::Service ? 1 : 0] = UiPanelFactory::panel(device, role, nullptr);
            ASSERT_NE(panels[role == Role::Service ? 1 : 0], nullptr); // a fresh one
        }
        created.reset(); // the panels still kept go with their device
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(panels[0].isNull());
        EXPECT_TRUE(panels[1].isNull());
    }
}

TEST(ServicePanelsTest, ThresholdButtonsWrapInStepsOfEightAndOnlyValidValuesGoOut)
{
    struct Case
    {
        const char* text;
        const char* button;
        const char* expected;
    };
    const Case cases[] = {
        {"4092", "touchProtect_insensitiveButton", "4"},
        {"3", "touchProtect_sensitiveButton", "4091"},
        {"1000", "touchProtect_sensitiveButton", "992"},
        {"", "touchProtect_insensitiveButton", "8"},
    };
    ServiceWidgetTymbrel panel;
    TymbrelSensor sensor(nullptr);
    panel.setDevice(&sensor);
    QSignalSpy sent(&panel, &ServiceWidgetTymbrel::currentThresholdChanged);
    auto* current = child<QLineEdit>(&panel, "touchProtect_CurrentThresholdEdit");
    for (const Case& c : cases) {
        current->setText(QLatin1String(c.text));
        child<QAbstractButton>(&panel, c.button)->click();
        EXPECT_EQ(current->text(), QLatin1String(c.expected)) << c.text;
        ASSERT_FALSE(sent.isEmpty());
        EXPECT_EQ(sent.takeLast().at(0).toInt(), QString::fromLatin1(c.expected).toInt());
    }
    // The validator refuses typing beyond 4095; a calibrated value out of range is not sent by Cancel.
    current->clear();
    sent.clear();
    QTest::keyClicks(current, QStringLiteral("40960"));
    QTest::keyClick(current, Qt::Key_Return);
    EXPECT_TRUE(!current->hasAcceptableInput() || current->text().toInt() <= 4095)
        << current->text().toStdString();
    for (const QList<QVariant>& emitted : sent) {
        EXPECT_LE(emitted.at(0).toInt(), 4095);
    }
    panel.onTouchProtectCalibrationSaved(-1);
    sent.clear();
    child<QAbstractButton>(&panel, "touchProtectCancelButton")->click();
    EXPECT_EQ(sent.count(), 0);
    EXPECT_TRUE(child<QLineEdit>(&panel, "touchProtect_CalibratedThresholdEdit")->isReadOnly());

    // Handed a control unit, the panel hides and connects nothing.
    ControlUnit unit(nullptr);
    ServiceWidgetTymbrel other;
    other.show();
    other.setDevice(&unit);
    EXPECT_FALSE(other.isVisible());
    emit unit.deviceOptionChanged(0x20000004, word(1));
    EXPECT_EQ(child<QLabel>(&other, "lblCdcValue")->text(), QString());
}

// A sensor that never connects fails both threshold reads: no 0 may appear as its value, and neither
// Cancel (which posts the calibrated value) nor Save (which stores the current one) may act on a guess.
TEST(ServicePanelsTest, FailedThresholdReadsKeepTheLastValuesAndDisableSaveAndCancel)
{
    ServiceWidgetTymbrel panel;
    TymbrelSensor sensor(nullptr);
    QSignalSpy failed(&sensor, &TymbrelSensor::cdcThresholdReadFailed);
    panel.setDevice(&sensor);
    auto* current = child<QLineEdit>(&panel, "touchProtect_CurrentThresholdEdit");
    auto* calibrated = child<QLineEdit>(&panel, "touchProtect_CalibratedThresholdEdit");
    current->setText(QStringLiteral("1000")); // what an earlier read or the user left
    calibrated->setText(QStringLiteral("990"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed.count() == 2; }, 20000));

    EXPECT_EQ(current->text(), QStringLiteral("1000"));
    EXPECT_EQ(calibrated->text(), QStringLiteral("990"));
    EXPECT_EQ(sensor.savedCdcThreshold(), 0);
    EXPECT_FALSE(sensor.isSavedCdcThresholdCurrent());
    QSignalSpy sent(&panel, &ServiceWidgetTymbrel::currentThresholdChanged);
    struct Action
    {
        const char* button;
        const char* slot;
    };
    for (const Action& a : {Action{"touchProtect_SaveThresholdButton", "onTouchProtectSaveClicked"},
                            Action{"touchProtectCancelButton", "onTouchProtectCancelClicked"}}) {
        EXPECT_FALSE(child<QAbstractButton>(&panel, a.button)->isEnabled()) << a.button;
        QMetaObject::invokeMethod(&panel, a.slot); // a click that got through all the same
    }
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(sensor.pendingJobCount(), 0);
    auto* note = child<QLabel>(&panel, "touchProtectReadFailedLabel");
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isHidden());

    // A panel opened later shows no value it never got.
    ServiceWidgetTymbrel later;
    later.setDevice(&sensor);
    EXPECT_TRUE(child<QLineEdit>(&later, "touchProtect_CurrentThresholdEdit")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(&later, "touchProtect_CalibratedThresholdEdit")->text().isEmpty());
}

TEST(ServicePanelsTest, CalibrationReadOutFollowsProgressOptionAndResult)
{
    struct Case
    {
        int step; // CdcCalibrationJob::Step reported before the progress; -1: none
        bool own; // reported by the calibration the panel follows, not by an earlier one
        int value;
        int maximum;
        const char* message;
        const char* label;
        int barValue;
        int barMaximum;
    };
    // The outcome is told by the step, never by the (translated) message.
    const Case cases[] = {
        {CdcCalibrationJob::BottomUp, true, 17, 4096, "Bottom up....",
         "CdcCalibrationJob : Bottom up.... 17 / 4096", 17, 4096},
        {-1, true, 18, 4096, "Final", "CdcCalibrationJob : Final 18 / 4096", 18, 4096},
        {-1, false, 3, 5, "", "CdcCalibrationJob : Final 18 / 4096", 18, 4096},
        {CdcCalibrationJob::Final, true, 990, 4096, "Endwert", "CdcCalibrationJob : Endwert 990", 990, 4096},
    };
    ProductionWidgetTymbrel panel;
    TymbrelSensor sensor(nullptr);
    panel.setDevice(&sensor);
    Operation earlier(Operation::Kind::CalibrateTouch, {});
    Operation calibration(Operation::Kind::CalibrateTouch, {});
    panel.followCalibration(&earlier);
    panel.followCalibration(&calibration);
    auto* label = child<QLabel>(&panel, "lblCdcValue");
    auto* bar = child<QProgressBar>(&panel, "progressCdcCalibration");
    EXPECT_EQ(label->text(), QStringLiteral("0"));
    for (const Case& c : cases) {
        if (c.step >= 0) {
            emit sensor.cdcCalibrationStepChanged(c.step, c.value);
        }
        Operation& reporter = c.own ? calibration : earlier;
        emit reporter.progress(c.value, c.maximum, QLatin1String(c.message));
        EXPECT_EQ(label->text(), QLatin1String(c.label)) << c.message;
        EXPECT_EQ(bar->value(), c.barValue);
        EXPECT_EQ(bar->maximum(), c.barMaximum);
    }
    emit sensor.deviceOptionChanged(0x20000004, word(524287 * 1000));
    EXPECT_EQ(label->text(), QStringLiteral("1000"));

    // Out of range (result 1) reads as a warning naming the threshold, not as a plain final value.
    emit sensor.cdcCalibrationStepChanged(CdcCalibrationJob::Final, 4095);
    emit calibration.progress(4095, 4096, QStringLiteral("Endwert"));
    earlier.finish(-1, QStringLiteral("not this one"));
    EXPECT_EQ(label->text(), QStringLiteral("CdcCalibrationJob : Endwert 4095"));
    calibration.finish(1, QString());
    EXPECT_EQ(label->text(), QStringLiteral("Warning: calibrated threshold 4095 is out of range"));
    EXPECT_TRUE(label->property("warning").toBool());
    emit sensor.cdcCalibrationStepChanged(CdcCalibrationJob::BottomUp, 0);
    Operation next(Operation::Kind::CalibrateTouch, {});
    panel.followCalibration(&next);
    emit next.progress(1, 4096, QStringLiteral("Bottom up...."));
    EXPECT_EQ(label->text(), QStringLiteral("CdcCalibrationJob : Bottom up.... 1 / 4096"));
    EXPECT_FALSE(label->property("warning").toBool());
}

TEST(ServicePanelsTest, LanguagesEnableSetOnlyOnceAllAreReported)
{
    ServiceWidgetControlUnit panel;
    ControlUnit unit(nullptr);
    panel.setDevice(&unit);
    LanguagesWidgetControlUnit* languages = panel.languages();
    auto* set = child<QAbstractButton>(&panel, "sendLanguagesToDevice");
    const QList<quint32> ids = LanguagesWidgetControlUnit::languageIds();
    ASSERT_EQ(ids.size(), 18);

    // Three rows of six in id order; English and German fixed.
    auto* grid = qobject_cast<QGridLayout*>(languages->findChild<QGroupBox*>()->layout());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(qobject_cast<QCheckBox*>(grid->itemAtPosition(0, 0)->widget())->text(), "English");
    EXPECT_EQ(qobject_cast<QCheckBox*>(grid->itemAtPosition(0, 5)->widget())->text(), "Romanian");
    EXPECT_EQ(qobject_cast<QCheckBox*>(grid->itemAtPosition(2, 5)->widget())->text(),
              QStringLiteral("Bulgarian (\u2265v2.2.1)"));
    EXPECT_TRUE(languages->isTicked(ids[0]));
    EXPECT_TRUE(languages->box(ids[1])->testAttribute(Qt::WA_TransparentForMouseEvents));

    struct Report
    {
        quint32 id;
        QByteArray value;
        bool ticked;
    };
    for (const Report& r : {Report{0x20000018, word(2), true}, Report{0x20000009, word(0), false},
                            Report{0x2000000B, QByteArray(2, '\1'), false}}) {
        emit unit.deviceOptionChanged(r.id, r.value);
        EXPECT_EQ(languages->isTicked(r.id), r.ticked) << std::hex << r.id;
    }
    emit unit.deviceOptionChanged(0x20000010, word(1)); // not a language
    EXPECT_FALSE(languages->isTicked(0x20000010));

    for (quint32 id : ids) {
        EXPECT_FALSE(set->isEnabled());
        if (id != 0x2000000B) {
            emit unit.deviceOptionChanged(id, word(id == 0x20000018 ? 1 : 0));
        }
    }
    EXPECT_FALSE(set->isEnabled()); // French came as two bytes: not a report
    emit unit.deviceOptionChanged(0x2000000B, word(1));
    EXPECT_TRUE(set->isEnabled());
    emit unit.deviceOptionChanged(0x2000000B, QByteArray()); // a failed read takes it back
    EXPECT_FALSE(set->isEnabled());

    // Another device: what the first reported is forgotten.
    emit unit.deviceOptionChanged(0x2000000B, word(1));
    ControlUnit other(nullptr);
    panel.setDevice(&other);
    EXPECT_FALSE(set->isEnabled());
    EXPECT_FALSE(languages->isTicked(0x2000000B));
}

} // namespace
