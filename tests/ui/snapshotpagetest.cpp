// Settings snapshots on the Service page: taken before a reset, listed, restored after the question that
// shows what changes; a snapshot that cannot be taken stops the reset unless the user says otherwise;
// a snapshot of another kind is refused.
#include "devices/snapshotstore.h"
#include "servicepagefixture.h"
#include "sim/simdefaults.h"
#include "sim/simprotocol.h"
#include "ui/snapshotfirst.h"
#include "ui/snapshotrestorer.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

using namespace SimProtocol;

class SnapshotPage : public ServicePageFixture
{
protected:
    QTreeWidget* list() const { return child<QTreeWidget>(service(), "snapshotsList"); }

    void reset(QMessageBox::StandardButton snapshotAnswer = QMessageBox::NoButton)
    {
        child<QAbstractButton>(service(), "factoryResetButton")->click();
        auto* box = dialog<QMessageBox>("factoryResetQuestion");
        ASSERT_NE(box, nullptr);
        answer(box, QMessageBox::Yes);
        if (snapshotAnswer != QMessageBox::NoButton) {
            auto* question = dialog<QMessageBox>("noSnapshotQuestion");
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return (question = dialog<QMessageBox>("noSnapshotQuestion")); }, kTimeoutMs));
            EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()),
                      question->button(QMessageBox::Cancel));
            lastQuestion = question->text();
            answer(question, snapshotAnswer);
        }
    }

    // A snapshot file of the given kind and serial, taken now, holding `options`.
    QString snapshotFile(const QString& name, const QString& kind, const QString& serial,
                         const QList<OptionsSnapshot::Option>& options)
    {
        OptionsSnapshot snapshot;
        snapshot.kind = kind;
        snapshot.serial = serial;
        snapshot.takenAt = QDateTime::currentDateTimeUtc();
        snapshot.options = options;
        return firmware.write(name, snapshot.toJson());
    }

    QString lastQuestion; // of the last "go on without a snapshot?"
};

TEST_F(SnapshotPage, ResetKeepsASnapshotThatPutsTheSettingsBack)
{
    auto unit = plugControlUnit();
    const quint32 id = SimDefaults::controlUnit().at(5).first;
    const SimProtocol::Bytes custom{0x5a, 0x01, 0x02, 0x03};
    ASSERT_TRUE(unit->storeOption(id, custom));
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(list()->topLevelItemCount(), 0);

    reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->factoryResetCount() == 1; }, kTimeoutMs));
    ASSERT_NE(unit->permanentOption(id), custom);
    device = attach(device);
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(1), device->softwareVersion());

    list()->setCurrentItem(list()->topLevelItem(0));
    child<QAbstractButton>(service(), "restoreSnapshotButton")->click();
    auto* question = dialog<QMessageBox>("restoreSnapshotQuestion");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->text().contains(QStringLiteral("5a 01 02 03"))) << question->text().toStdString();
    EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()),
              question->button(QMessageBox::Cancel));
    answer(question, QMessageBox::Yes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return noted(QStringLiteral("restored and read back")); }, 30000));
    EXPECT_EQ(unit->permanentOption(id), custom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->topLevelItemCount() == 2; }, kTimeoutMs));
}

TEST_F(SnapshotPage, WithoutASnapshotTheResetWaitsForTheUsersWord)
{
    auto unit = plugControlUnit();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    // One option goes unanswered and the unit stops answering: a snapshot without it is none.
    unit->faults().noAnswerToOption(SimDefaults::controlUnit().at(20).first);
    unit->faults().noAnswerTo(GetChipId);
    for (const auto& c : {qMakePair(QMessageBox::Cancel, 0), qMakePair(QMessageBox::Yes, 1)}) {
        reset(c.first);
        EXPECT_TRUE(lastQuestion.contains(" options were read")) << lastQuestion.toStdString();
        QTest::qWait(300);
        EXPECT_TRUE(QTest::qWaitFor([&] { return unit->factoryResetCount() == c.second; }, kTimeoutMs));
    }
    EXPECT_TRUE(SnapshotFirst::store().list(QStringLiteral("control-unit"), device->serial()).isEmpty());
}

TEST_F(SnapshotPage, TheIdentityIsRestoredOnlyWhenTickedAndAnotherKindsSnapshotNotAtAll)
{
    auto unit = plugControlUnit();
    BaseDevice* device = attach();
    ASSERT_NE(device, nullptr);
    const QString serial = device->serial();
    const quint32 setting = SimDefaults::controlUnit().at(5).first;
    const QString path =
        snapshotFile("target.json", device->kindKey(), serial,
                     {{SimDefaults::DeviceSerialNumber, QString(), QByteArray("TCU-21-00099")},
                      {setting, QString(), QByteArray::fromHex("5a010203")}});

    for (const bool tick : {false, true}) {
        ASSERT_TRUE(unit->storeOption(setting, {0, 0, 0, 0}));
        notes.clear();
        const QPointer<BaseDevice> before = device; // the restart replaces it
        SnapshotRestorer::start(service(), path, [this]() -> BaseDevice* { return service()->device(); });
        auto* question = dialog<QMessageBox>("restoreSnapshotQuestion");
        ASSERT_NE(question, nullptr);
        auto* identity = question->findChild<QCheckBox*>(QStringLiteral("restoreIdentityCheck"));
        ASSERT_NE(identity, nullptr);
        EXPECT_FALSE(identity->isChecked());
        EXPECT_TRUE(question->text().contains(QStringLiteral("TCU-21-00099").toLatin1().toHex(' ')));
        identity->setChecked(tick);
        answer(question, QMessageBox::Yes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return noted(QStringLiteral("restored and read back")); }, 30000));
        EXPECT_EQ(unit->permanentOption(setting), (SimProtocol::Bytes{0x5a, 0x01, 0x02, 0x03}));
        EXPECT_EQ(unit->permanentOption(SimDefaults::DeviceSerialNumber),
                  SimInstrument::textValue(tick ? "TCU-21-00099" : serial.toStdString()));
        device = attach(before);
        ASSERT_NE(device, nullptr);
    }

    ASSERT_TRUE(waitIdle(device));
    unit->clearReceived();
    const QString other =
        snapshotFile("other.json", "locator-sensor", serial, {{0x10000004, QString(), QByteArray("X")}});
    SnapshotRestorer::start(service(), other, [this]() -> BaseDevice* { return service()->device(); });
    auto* refusal = dialog<QMessageBox>("restoreSnapshotResult");
    ASSERT_NE(refusal, nullptr);
    EXPECT_TRUE(refusal->text().contains(QStringLiteral("not restored")));
    QTest::qWait(300);
    EXPECT_TRUE(unit->receivedCommands().empty());
}

} // namespace
