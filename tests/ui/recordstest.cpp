// The window's service records: what a technician does on the pages against the simulated instruments
// leaves exactly its events in the SQLite file the settings name, and a database that cannot be written
// is said in the notification bar while the work goes on.
#include "recording/recordingbridge.h"
#include "records/recordstore.h"
#include "servicepagefixture.h"
#include "ui/languageswidgetcontrolunit.h"
#include "ui/servicewidgetcontrolunit.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QSettings>

#include <algorithm>
#include <functional>

namespace {

constexpr quint32 kFrench = 0x2000000B;

class RecordsTest : public ServicePageFixture
{
protected:
    // The window's recorder, for the database the settings name.
    void startRecording(const QString& database)
    {
        {
            QSettings settings(Settings::instance()->fileName(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("Records/database"), database);
        }
        Settings::instance()->sync();
        QString problem;
        bridge = RecordingBridge::fromSettings(QString::fromLatin1(ServiceEvent::kWindow), &problem);
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        bridge->follow(manager());
        window->followRecorder(bridge->recorder());
    }

    QStringList newOperations(BaseDevice* device, QList<ServiceEvent>* events)
    {
        EXPECT_TRUE(waitIdle(device));
        EXPECT_TRUE(bridge->recorder()->waitForIdle(10000));
        RecordStore store;
        EXPECT_EQ(store.open(RecordsAddress::sqlite(files.filePath(QStringLiteral("records.sqlite")))), 0);
        QList<ServiceEvent> all = store.find({});
        std::reverse(all.begin(), all.end());
        const QList<ServiceEvent> fresh = all.mid(seen);
        seen = all.size();
        QStringList operations;
        for (const ServiceEvent& event : fresh) {
            operations << event.operation;
            EXPECT_EQ(event.interfaceName, QStringLiteral("window"));
            EXPECT_EQ(event.serial, QStringLiteral("TCU-21-00042"));
        }
        operations.sort();
        if (events) {
            *events = fresh;
        }
        return operations;
    }

    std::unique_ptr<RecordingBridge> bridge;
    int seen = 0;
};

TEST_F(RecordsTest, EachPageOperationLeavesExactlyItsEvents)
{
    startRecording(files.filePath(QStringLiteral("records.sqlite")));
    auto unit = plugControlUnit();
    QPointer<BaseDevice> device = attach();
    ASSERT_NE(device, nullptr);

    struct Case
    {
        const char* what;
        std::function<void()> act;
        QStringList operations;
        const char* checked;
        std::function<void(const QJsonObject&)> details;
    };
    const Case cases[] = {
        {"plugged",
         [] {},
         {"connected", "dataset-read"}, // the Measurements page reads the series at once
         "connected",
         [](const QJsonObject& d) { EXPECT_FALSE(d.value("firmwareVersion").toString().isEmpty()); }},
        {"languages set",
         [&] {
             auto* panel = qobject_cast<ServiceWidgetControlUnit*>(service()->servicePanel());
             ASSERT_NE(panel, nullptr);
             auto* set = child<QAbstractButton>(panel, "sendLanguagesToDevice");
             ASSERT_TRUE(QTest::qWaitFor([&] { return set->isEnabled(); }, kTimeoutMs));
             panel->languages()->box(kFrench)->click();
             set->click();
             ASSERT_TRUE(QTest::qWaitFor([&] { return unit->rebootCount() == 1; }, kTimeoutMs));
             device = attach(device);
             ASSERT_NE(device, nullptr);
         },
         {"connected", "dataset-read", "languages-set", "snapshot-taken"},
         "languages-set",
         [](const QJsonObject& d) {
             const QJsonArray options = d.value("options").toArray();
             EXPECT_EQ(options.size(), 18);
             const auto french = std::find_if(options.begin(), options.end(), [](const QJsonValue& o) {
                 return o.toObject().value("id").toString() == QLatin1String("0x2000000b");
             });
             ASSERT_NE(french, options.end());
             EXPECT_EQ(french->toObject().value("before").toString(), QStringLiteral("00000000"));
             EXPECT_EQ(french->toObject().value("after").toString(), QStringLiteral("01000000"));
         }},
        {"factory reset",
         [&] {
             child<QAbstractButton>(service(), "factoryResetButton")->click();
             auto* box = dialog<QMessageBox>("factoryResetQuestion");
             ASSERT_NE(box, nullptr);
             answer(box, QMessageBox::Yes);
             ASSERT_TRUE(QTest::qWaitFor([&] { return unit->factoryResetCount() == 1; }, kTimeoutMs));
             ASSERT_TRUE(waitIdle(device));
         },
         {"factory-reset", "snapshot-taken"},
         "factory-reset",
         [](const QJsonObject& d) { EXPECT_TRUE(d.contains("durationMs")); }},
    };
    for (const Case& c : cases) {
        c.act();
        QList<ServiceEvent> events;
        EXPECT_EQ(newOperations(device, &events), c.operations) << c.what;
        for (const ServiceEvent& event : events) {
            if (event.operation == QLatin1String(c.checked)) {
                EXPECT_EQ(event.result, 0) << c.what;
                c.details(event.detailsObject());
            }
        }
    }
}

TEST_F(RecordsTest, ADatabaseThatCannotBeWrittenIsNotifiedAndTheWorkGoesOn)
{
    startRecording(QStringLiteral("/proc/no-records-here/records.sqlite"));
    auto unit = plugControlUnit();
    ASSERT_NE(attach(), nullptr);
    auto* text = window->findChild<QLabel*>(QStringLiteral("notificationTextLabel"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text->text().startsWith("Service records:"); }, kTimeoutMs))
        << text->text().toStdString();
}
} // namespace
