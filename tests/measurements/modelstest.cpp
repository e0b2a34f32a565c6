#include "measurements/vectarisdatapointmodel.h"
#include "measurements/vectarisdatasetmodel.h"

#include <QAbstractItemModelTester>
#include <QGeoCoordinate>
#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

VectarisDataPoint point(float depth, bool fix)
{
    VectarisDataPoint p;
    p.maxCoil = 1.5f;
    p.minCoil = -2.25f;
    p.depth = depth;
    p.amperage = 0.5f;
    p.frequency = 4294967295u;
    p.modeLevel = 3;
    p.azimuth = 90.5f;
    p.zenit = -1;
    p.hazeLevel = 0.125f;
    p.sisValue = 7;
    if (fix)
        p.position = QGeoPositionInfo(QGeoCoordinate(48.1173, -11.5166667),
                                      QDateTime(QDate(2019, 5, 1), QTime(12, 45, 12), Qt::UTC).toLocalTime());
    return p;
}

QList<VectarisDataset> twoSeries()
{
    VectarisDataset dated;
    dated.date = QDateTime(QDate(2019, 5, 1), QTime(13, 45), Qt::UTC).toLocalTime();
    dated.points = {point(1, true), point(2, false)};
    VectarisDataset titled;
    titled.title = QStringLiteral("Main street 5");
    titled.points = {point(3, true)};
    return {dated, titled};
}

TEST(VectarisDatasetModel, RowsColumnsHeadersAndRoles)
{
    VectarisDatasetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Points"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal), QVariant(QString()));
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());

    model.setDatasets(twoSeries());
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    EXPECT_EQ(model.columnCount(model.index(0, 0)), 0);

    const QDateTime date = QDateTime(QDate(2019, 5, 1), QTime(13, 45), Qt::UTC).toLocalTime();
    EXPECT_EQ(model.index(0, 0).data().toString(), QString());
    EXPECT_EQ(model.index(0, 1).data().toString(), QLocale().toString(date, QLocale::ShortFormat));
    EXPECT_EQ(model.index(0, 1).data(Qt::UserRole).toDateTime(), date);
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("Main street 5"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("Main street 5"));
    EXPECT_TRUE(model.index(1, 1).data(Qt::UserRole).toDateTime().isNull());
    EXPECT_FALSE(model.index(1, 0).data(Qt::UserRole).isValid());
    EXPECT_FALSE(model.index(0, 3).data().isValid());
    EXPECT_FALSE(model.index(2, 0).data().isValid());

    // The points travel as a "VectarisDataPoints" variant and come back whole.
    const QVariant points = model.index(0, 2).data();
    EXPECT_EQ(points.userType(), QMetaType::type("VectarisDataPoints"));
    const VectarisDataPoints back = points.value<VectarisDataPoints>();
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back.at(1).depth, 2.0f);
    EXPECT_TRUE(QVariant(42).value<VectarisDataPoints>().isEmpty());

    EXPECT_EQ(model.dataset(model.index(1, 2)).title, QStringLiteral("Main street 5"));
    const VectarisDataset none = model.dataset(QModelIndex());
    EXPECT_TRUE(none.title.isEmpty() && none.points.isEmpty() && none.date.isNull());

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(VectarisDataPointModel, ColumnsShowTheMeasuredValues)
{
    VectarisDataPointModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.columnCount(), 11);
    const QStringList headers = {"MaxCoil [dB]",   "MinCoil [dB]", "Depth [m]",   "Amperage [A]",
                                 "Frequency [Hz]", "ModeLevel",    "Azimuth [°]", "Zenit [°]",
                                 "HazeLevel",      "SisValue",     "Position"};
    for (int i = 0; i < headers.size(); ++i)
        EXPECT_EQ(model.headerData(i, Qt::Horizontal).toString(), headers.at(i)) << i;
    EXPECT_EQ(model.headerData(11, Qt::Horizontal), QVariant(QString()));
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());

    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    model.setDataPoints({point(1.5f, true), point(2.5f, false)});
    EXPECT_EQ(layout.count(), 1);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    EXPECT_EQ(model.index(0, 0).data(), QVariant(1.5f));
    EXPECT_EQ(model.index(0, 1).data().toFloat(), -2.25f);
    EXPECT_EQ(model.index(0, 2).data().toFloat(), 1.5f);
    EXPECT_EQ(model.index(0, 4).data().toString(), QStringLiteral("4294967295"));
    EXPECT_EQ(model.index(0, 4).data().toLongLong(), 4294967295LL);
    EXPECT_EQ(model.index(0, 6).data().toFloat(), 90.5f);
    EXPECT_EQ(model.index(0, 9).data().toFloat(), 7.0f);
    EXPECT_EQ(
        model.index(0, 10).data().toString(),
        QGeoCoordinate(48.1173, -11.5166667).toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere));
    EXPECT_TRUE(model.index(0, 10).data().toString().contains(QLatin1Char('W')));
    // A point without a fix shows its values and an empty position.
    EXPECT_EQ(model.index(1, 2).data().toFloat(), 2.5f);
    EXPECT_EQ(model.index(1, 10).data(), QVariant(QString()));
    EXPECT_FALSE(model.index(0, 0).data(Qt::EditRole).isValid());
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);

    model.setDataPoints({});
    EXPECT_EQ(model.rowCount(), 0);
    model.setDataPoints({point(1, true)});
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

// Every model change is whole when it is announced: cells are reported as changed only after the layout
// change closed, and at that point the model already has its new row count (a view or proxy that reads
// the changed cells must find them), growing or shrinking.
TEST(DatasetModels, CellsChangeOnlyAfterTheLayoutChange)
{
    struct Case
    {
        const char* name;
        std::function<QAbstractItemModel*(QObject*)> make;
        std::function<void(QAbstractItemModel*, int)> fill;
    };
    const Case cases[] = {
        {"points", [](QObject* parent) { return new VectarisDataPointModel(parent); },
         [](QAbstractItemModel* model, int rows) {
             VectarisDataPoints points;
             for (int i = 0; i < rows; ++i)
                 points.append(point(float(i), i % 2 == 0));
             static_cast<VectarisDataPointModel*>(model)->setDataPoints(points);
         }},
        {"series", [](QObject* parent) { return new VectarisDatasetModel(parent); },
         [](QAbstractItemModel* model, int rows) {
             QList<VectarisDataset> datasets;
             for (int i = 0; i < rows; ++i)
                 datasets.append(twoSeries().at(i % 2));
             static_cast<VectarisDatasetModel*>(model)->setDatasets(datasets);
         }},
    };
    for (const Case& c : cases) {
        QObject owner;
        QAbstractItemModel* model = c.make(&owner);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QStringList events;
        QObject::connect(model, &QAbstractItemModel::layoutAboutToBeChanged, [&] { events << "about"; });
        QObject::connect(model, &QAbstractItemModel::layoutChanged, [&] { events << "layout"; });
        QObject::connect(
            model, &QAbstractItemModel::dataChanged, [&](const QModelIndex&, const QModelIndex& bottomRight) {
                events << QStringLiteral("data %1/%2").arg(bottomRight.row()).arg(model->rowCount());
            });
        for (int rows : {3, 5, 1}) {
            events.clear();
            c.fill(model, rows);
            EXPECT_EQ(events, (QStringList{"about", "layout", QString("data %1/%2").arg(rows - 1).arg(rows)}))
                << c.name << " " << rows;
        }
    }
}

} // namespace
