// The History page with 100,000 events of one instrument (and 10,000 of another) in the records file.
//
// Target: the first page shows in under 100 ms after the serial is chosen, counted from the click to
// the rows in the table; the GUI thread meanwhile only posts the request (call_us). Cold: the same from
// the moment the page opens the database. Run on the offscreen platform (set by main when none is chosen).
#include "bench/support/shortrun.h"
#include "records/recordstore.h"
#include "ui/historywidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCeilingMs = 60000;

// In one transaction: the fill is not what is measured.
bool fill(const QString& path, int events)
{
    {
        RecordStore store; // the schema
        if (store.open(RecordsAddress::sqlite(path)) != RecordStore::kOk) {
            return false;
        }
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery query(db);
        ok = ok && query.prepare(QStringLiteral(
                       "INSERT INTO events (id, time, station, os_user, tool_version, interface, operation, "
                       "serial, kind, usb_id, result, message, details) VALUES (?, ?, 'Bench 2', 'jdoe', "
                       "'1.2.0', 'window', 'parameter-write', ?, 'control-unit', '1e84:3000', 0, '', "
                       "'{\"id\":\"0x0010\",\"before\":\"00ff\",\"after\":\"0100\"}')"));
        const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; ok && i < events + events / 10; ++i) {
            query.bindValue(0, QUuid::createUuid().toString(QUuid::WithoutBraces));
            query.bindValue(1, start.addSecs(i).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
            query.bindValue(2, i < events ? QStringLiteral("CU-1") : QStringLiteral("CU-2"));
            ok = query.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Range 1: from opening the database (cold); range 0: switching from another serial (warm).
void BM_HistoryFirstPage(benchmark::State& state)
{
    const int events = int(benchShortRun() ? 1000 : state.range(0));
    const bool cold = state.range(1) != 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    if (!dir.isValid() || !fill(path, events)) {
        state.SkipWithError("no records file");
        return;
    }
    qint64 callNs = 0;
    for (auto _ : state) {
        HistoryWidget page;
        if (!cold) {
            page.setDatabase(RecordsAddress::sqlite(path));
            page.show();
            page.showSerial(QStringLiteral("CU-2"));
            if (!QTest::qWaitFor([&] { return !page.isReading(); }, kCeilingMs)) {
                state.SkipWithError("the other serial did not show");
                break;
            }
        }
        QElapsedTimer clock;
        clock.start();
        if (cold) {
            page.setDatabase(RecordsAddress::sqlite(path));
            page.show();
        }
        page.showSerial(QStringLiteral("CU-1"));
        callNs = clock.nsecsElapsed();
        // Polls without sleeping: qWaitFor's own sleep would be counted.
        while (page.isReading() && clock.elapsed() < kCeilingMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (page.totalEvents() != events || page.shownEvents().size() != HistoryWidget::kPageSize) {
            state.SkipWithError("the first page is not there");
            break;
        }
    }
    state.counters["call_us"] = double(callNs) / 1000.0;
}
BENCHMARK(BM_HistoryFirstPage)
    ->ArgNames({"events", "cold"})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(5));

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
