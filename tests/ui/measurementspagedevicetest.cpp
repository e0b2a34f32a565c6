// The measurements page with a simulated control unit holding series, discovered by the real USB
// manager and handed over by the main window as in the field: the page lists what the unit holds,
// deletes it only on the unit it asked about, and is cleared when the unit goes.

#include "devices/controlunit.h"
#include "measurements/vectarisdatapointmodel.h"
#include "measurements/vectarisdatasetmodel.h"
#include "sim/datasetstoreimage.h"
#include "sim/simprotocol.h"
#include "ui/measurementswidget.h"
#include "ui/toolbutton.h"
#include "ui/trackpicturewidget.h"
#include "windowfixture.h"

#include <QLabel>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Series `count` of `points` points each, titled "Line <n>", on a short walk north-east.
QByteArray storeImage(int count, int points)
{
    DatasetStoreImage image;
    for (int s = 0; s < count; ++s) {
        DatasetStoreImage::Series series;
        series.text = QStringLiteral("Line %1").arg(s + 1).toLatin1();
        for (int i = 0; i < points; ++i) {
            DatasetStoreImage::Point point;
            point.depth = float(s) + float(i) / 10;
            point.frequency = 8192;
            point.gpsText =
                DatasetStoreImage::rmcSentence(48.1 + i * 1e-4, 11.5 + i * 1e-4 + s * 1e-3,
                                               QDateTime(QDate(2021, 6, 1), QTime(10, s, i % 60), Qt::UTC));
            series.points.append(point);
        }
        image.series.append(series);
    }
    return image.build();
}

class MeasurementsPageDevice : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        page = WindowFixture::page<MeasurementsWidget>(MainWindow::MeasurementsPage);
        MeasurementsWidget::Dialogs dialogs = MeasurementsWidget::defaultDialogs();
        dialogs.confirm = [this](QWidget*, const QString&) { return whenAsked ? whenAsked() : false; };
        page->setDialogs(dialogs);
    }

    // Polls and waits until the window has handed a control unit (other than `previous`) to the page.
    ControlUnit* attach(ControlUnit* previous = nullptr)
    {
        manager()->pollNow();
        const bool handed =
            QTest::qWaitFor([&] { return page->device() && page->device() != previous; }, kTimeoutMs);
        return handed ? page->device() : nullptr;
    }
    // Plugs a control unit holding `series` series of `points` points each; waits until the page lists them.
    std::shared_ptr<SimControlUnit> plugWithSeries(int series, int points)
    {
        auto unit = plugControlUnit();
        unit->setDatasetStoreImage(storeImage(series, points));
        EXPECT_NE(attach(), nullptr);
        EXPECT_TRUE(waitForRows(series));
        return unit;
    }
    int rows() const { return page->datasetModel()->rowCount(); }
    bool waitForRows(int count)
    {
        return QTest::qWaitFor([&] { return rows() == count; }, kTimeoutMs);
    }
    QString label(const char* name) const { return page->findChild<QLabel*>(QLatin1String(name))->text(); }
    void click(const char* button) { page->findChild<ToolButton*>(QLatin1String(button))->click(); }

    MeasurementsWidget* page = nullptr;
    std::function<bool()> whenAsked;
};

TEST_F(MeasurementsPageDevice, ShowsTheUnitsSeriesReadOnce)
{
    auto unit = plugWithSeries(3, 25);
    ControlUnit* device = page->device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(label("locationLabel"), QStringLiteral("Line 1"));
    EXPECT_EQ(page->dataPointModel()->rowCount(), 25);
    auto* picture = page->findChild<TrackPictureWidget*>();
    EXPECT_EQ(picture->fixCount(), 25);

    // Handing the same unit over again reads nothing more.
    page->setDevice(device);
    page->setDevice(device);
    QTest::qWait(500);
    EXPECT_EQ(unit->countReceived(SimProtocol::ReadDataSets), 1);

    auto* list = page->findChild<QListView*>(QStringLiteral("datasetsListView"));
    list->setCurrentIndex(page->datasetModel()->index(2, VectarisDatasetModel::DateColumn));
    EXPECT_EQ(label("locationLabel"), QStringLiteral("Line 3"));
    EXPECT_FLOAT_EQ(page->dataPointModel()->index(4, VectarisDataPointModel::DepthColumn).data().toFloat(),
                    2.4f);

    // Reload reads again and keeps the list.
    click("refreshDataSetsButton");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return unit->countReceived(SimProtocol::ReadDataSets) == 2; }, kTimeoutMs));
    EXPECT_TRUE(waitForRows(3));
}

TEST_F(MeasurementsPageDevice, DeleteOnlyWhenConfirmedAndAFailureIsReportedWithTheListKept)
{
    auto unit = plugWithSeries(2, 5);

    // Cancel leaves everything where it is.
    whenAsked = [] { return false; };
    click("deleteButton");
    QTest::qWait(300);
    EXPECT_EQ(unit->datasetClearCount(), 0);

    // A delete the unit refuses: said, and the list read again still holds both.
    unit->faults().pipeErrorOn(SimProtocol::ClearDataSets, 1);
    whenAsked = [] { return true; };
    click("deleteButton");
    auto* message = window->findChild<QLabel*>("notificationTextLabel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return message->text().contains("could not be deleted"); }, kTimeoutMs))
        << message->text().toStdString();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return unit->countReceived(SimProtocol::ReadDataSets) == 2; }, kTimeoutMs));
    QTest::qWait(300);
    EXPECT_EQ(rows(), 2);

    click("deleteButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit->datasetClearCount() == 1; }, kTimeoutMs));
    // The list is read again after the delete and shows what is left: nothing.
    EXPECT_TRUE(waitForRows(0));
    EXPECT_EQ(unit->countReceived(SimProtocol::ReadDataSets), 3);
    EXPECT_EQ(label("locationLabel"), QString());
    EXPECT_EQ(page->dataPointModel()->rowCount(), 0);
}

TEST_F(MeasurementsPageDevice, DeleteAnsweredAfterTheUnitWasSwappedDeletesNothing)
{
    auto first = plugWithSeries(2, 5);

    std::shared_ptr<SimControlUnit> second;
    whenAsked = [&] {
        // While the question is open the technician swaps the units.
        bus().unplug(first);
        if (!QTest::qWaitFor([&] { return page->device() == nullptr; }, kTimeoutMs))
            return true;
        second = plugWithSeries(3, 5);
        return true;
    };
    click("deleteButton");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(page->device(), nullptr);
    QTest::qWait(500);
    EXPECT_EQ(first->datasetClearCount(), 0);
    EXPECT_EQ(second->datasetClearCount(), 0);
    EXPECT_EQ(rows(), 3);
}

TEST_F(MeasurementsPageDevice, UnitUnpluggedMidReadClearsThePage)
{
    auto unit = plugWithSeries(4, 40);
    // The next read stops after a few packets: the unit vanishes in the middle of the stream.
    unit->faults().unplugAfterPackets(4);
    click("refreshDataSetsButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->device() == nullptr; }, kTimeoutMs));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(page->dataPointModel()->rowCount(), 0);
    EXPECT_EQ(label("locationLabel"), QString());
    EXPECT_EQ(label("dateLabel"), QString());
    EXPECT_EQ(page->findChild<TrackPictureWidget*>()->pointCount(), 0);
    QTest::qWait(300); // anything still under way arrives at a page that has let go of the unit
    EXPECT_EQ(rows(), 0);
}

} // namespace
