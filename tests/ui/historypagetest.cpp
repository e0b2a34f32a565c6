// The History page against a records file filled here: the connected instrument's events newest first,
// the operation filter, paging, the search for an instrument that is not connected, the export of the
// shown rows, and a database it cannot read or must not write.
#include "devices/controlunit.h"
#include "records/recordstore.h"
#include "sim/usbfs/simusbfixture.h"
#include "ui/historywidget.h"
#include "uitestenvironment.h"

#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
constexpr int kTimeoutMs = 30000;
const QString kInjected = QStringLiteral("'); DROP TABLE events; --");
const QString kMarkup = QStringLiteral("<b>x</b>");

ServiceEvent event(const QString& serial, const char* operation, int minute, const QString& message = {})
{
    ServiceEvent e = ServiceEvent::create(QLatin1String(operation));
    e.time = QDateTime(QDate(2026, 3, 1), QTime(8, 0).addSecs(60 * minute), Qt::UTC);
    e.station = QStringLiteral("Bench 2");
    e.serial = serial;
    e.message = message;
    e.setDetails({{QStringLiteral("file"), message}});
    return e;
}

QStringList messages(const QList<ServiceEvent>& events)
{
    QStringList list;
    for (const ServiceEvent& e : events) {
        list << e.message;
    }
    return list;
}

class HistoryPageTest : public SimUsbFixture
{
protected:
    void SetUp() override
    {
        SimUsbFixture::SetUp();
        ASSERT_TRUE(dir.isValid()) << dir.errorString().toStdString();
    }
    QString path() const { return dir.filePath(QStringLiteral("records.sqlite")); }

    void fill(const QList<ServiceEvent>& events)
    {
        RecordStore store;
        ASSERT_EQ(store.open(RecordsAddress::sqlite(path())), 0) << store.errorText().toStdString();
        for (const ServiceEvent& e : events) {
            ASSERT_EQ(store.insert(e), 0);
        }
    }

    // Opens the file in the page and waits for every answer.
    void open(const QString& file)
    {
        page.setDatabase(RecordsAddress::sqlite(file));
        settle();
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isReading(); }, kTimeoutMs));
    }

    template <typename T> T* child(const char* name) { return page.findChild<T*>(QLatin1String(name)); }

    QString status() { return child<QLabel>("statusLabel")->text(); }

    // Not the default template: the tool's application name, which it takes, has a slash in it.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/history-page-XXXXXX")};
    HistoryWidget page;
};

TEST_F(HistoryPageTest, ShowsTheConnectedInstrumentNewestFirstAndFiltersByOperation)
{
    auto unit = plugControlUnit();
    ControlUnit device(libusbDevice(unit));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !device.identity().serial.isEmpty(); }, kTimeoutMs));
    const QString serial = device.identity().serial;
    fill({event(serial, ServiceEvent::kConnected, 1, QStringLiteral("a")),
          event(serial, ServiceEvent::kFirmwareUpdate, 2, QStringLiteral("b")),
          event(QStringLiteral("OTHER-1"), ServiceEvent::kConnected, 3, QStringLiteral("other")),
          event(serial, ServiceEvent::kFactoryReset, 4, QStringLiteral("c")),
          event(serial, ServiceEvent::kConnected, 5, QStringLiteral("d"))});
    open(path());
    page.setDevice(&device);
    settle();
    EXPECT_EQ(page.shownSerial(), serial);

    const struct
    {
        const char* operation;
        QStringList shown;
    } cases[] = {{"", {"d", "c", "b", "a"}},
                 {ServiceEvent::kConnected, {"d", "a"}},
                 {ServiceEvent::kFirmwareUpdate, {"b"}},
                 {ServiceEvent::kLogClear, {}}};
    auto* operations = child<QComboBox>("operationCombo");
    for (const auto& c : cases) {
        const int index = operations->findData(QLatin1String(c.operation));
        ASSERT_GE(index, 0) << c.operation;
        operations->setCurrentIndex(index);
        emit operations->activated(index);
        settle();
        EXPECT_EQ(messages(page.shownEvents()), c.shown) << c.operation;
        EXPECT_EQ(page.totalEvents(), c.shown.size()) << c.operation;
    }
    // The first row's every field, details too, in the details box.
    operations->setCurrentIndex(0);
    emit operations->activated(0);
    settle();
    const QString details = child<QPlainTextEdit>("detailsTextEdit")->toPlainText();
    EXPECT_TRUE(details.contains(page.shownEvents().value(0).id.toString(QUuid::WithoutBraces)))
        << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("\"file\": \"d\""))) << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("Bench 2"))) << details.toStdString();
}

TEST_F(HistoryPageTest, PagesThroughALongHistory)
{
    QList<ServiceEvent> events;
    for (int i = 0; i < HistoryWidget::kPageSize + 5; ++i) {
        events << event(QStringLiteral("LONG-1"), ServiceEvent::kLogDownload, i, QString::number(i));
    }
    fill(events);
    open(path());
    page.showSerial(QStringLiteral("LONG-1"));
    settle();
    EXPECT_EQ(page.shownEvents().size(), HistoryWidget::kPageSize);
    EXPECT_EQ(page.shownEvents().value(0).message, QString::number(HistoryWidget::kPageSize + 4));
    child<QPushButton>("nextButton")->click();
    settle();
    EXPECT_EQ(messages(page.shownEvents()), QStringList({"4", "3", "2", "1", "0"}));
    EXPECT_FALSE(child<QPushButton>("nextButton")->isEnabled());
    child<QPushButton>("previousButton")->click();
    settle();
    EXPECT_EQ(page.shownEvents().size(), HistoryWidget::kPageSize);
}

// Found by part of its serial without being connected, shown and exported exactly as stored.
TEST_F(HistoryPageTest, SearchFindsAnyInstrumentAndExportsTheShownRowsVerbatim)
{
    fill({event(kInjected, ServiceEvent::kConnected, 1, kMarkup),
          event(kInjected, ServiceEvent::kFactoryReset, 2, kInjected + QStringLiteral(", \"quoted\"")),
          event(QStringLiteral("OTHER-1"), ServiceEvent::kConnected, 3, QStringLiteral("other"))});
    open(path());
    child<QComboBox>("serialCombo")->setEditText(QStringLiteral("drop table"));
    child<QPushButton>("searchButton")->click();
    settle();
    ASSERT_EQ(page.shownSerial(), kInjected);
    ASSERT_EQ(page.shownEvents().size(), 2);
    EXPECT_TRUE(status().contains(kInjected)) << status().toStdString();
    EXPECT_EQ(child<QLabel>("statusLabel")->textFormat(), Qt::PlainText);

    const auto written = [&](void (HistoryWidget::*save)(), const char* name) {
        const QString file = dir.filePath(QLatin1String(name));
        page.setSaveFileName([&](QWidget*, const QString&, const QString&) { return file; });
        (page.*save)();
        QFile saved(file);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly)) << name;
        return saved.readAll();
    };
    const QByteArray csv = written(&HistoryWidget::exportCsv, "history.csv");
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << csv.toStdString();
    EXPECT_TRUE(lines.at(1).contains(",'); DROP TABLE events; --,")) << csv.toStdString();
    EXPECT_TRUE(lines.at(1).contains("'); DROP TABLE events; --, \"\"quoted\"\"")) << csv.toStdString();
    EXPECT_TRUE(lines.at(2).contains(",<b>x</b>,")) << csv.toStdString();

    const QJsonArray rows =
        QJsonDocument::fromJson(written(&HistoryWidget::exportJson, "history.json")).array();
    ASSERT_EQ(rows.size(), 2);
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows.at(i)["id"].toString(), page.shownEvents().at(i).id.toString(QUuid::WithoutBraces));
        EXPECT_EQ(rows.at(i)["serial"].toString(), kInjected);
    }
    EXPECT_EQ(rows.at(1)["message"].toString(), kMarkup);
}

TEST_F(HistoryPageTest, SaysPlainlyWhenTheDatabaseCannotBeReadAndShowsANewerOneReadOnly)
{
    QFile garbage(dir.filePath(QStringLiteral("garbage.sqlite")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096);
    garbage.close();
    for (const QString& file : {dir.path(), garbage.fileName()}) {
        open(file);
        EXPECT_TRUE(status().startsWith("The service records cannot be read.")) << status().toStdString();
    }

    fill({event(QStringLiteral("NEW-1"), ServiceEvent::kConnected, 1, QStringLiteral("a"))});
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bump"));
        db.setDatabaseName(path());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE schema_version SET version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bump"));
    open(path());
    page.showSerial(QStringLiteral("NEW-1"));
    settle();
    EXPECT_EQ(messages(page.shownEvents()), QStringList{QStringLiteral("a")});
    EXPECT_TRUE(status().contains(QStringLiteral("newer version"))) << status().toStdString();
}

} // namespace
