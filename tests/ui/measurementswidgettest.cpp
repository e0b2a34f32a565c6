// The measurements page without an instrument: its tool buttons, the list and the details it shows for
// the series it is given, and the export through its file-dialog hook. Nothing is really opened: the
// desktop opener is a hook too.

#include "ui/measurementswidget.h"
#include "measurements/vectarisdatapointmodel.h"
#include "measurements/vectarisdatasetmodel.h"
#include "ui/toolbutton.h"
#include "ui/trackpicturewidget.h"
#include "uitestenvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGeoCoordinate>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Format = MeasurementsWidget::ExportFormat;

VectarisDataPoint point(float depth, double latitude, double longitude, int second)
{
    VectarisDataPoint p;
    p.depth = depth;
    p.amperage = depth * 2;
    p.frequency = 8192;
    if (second >= 0) {
        const QDateTime utc(QDate(2021, 6, 1), QTime(10, 0).addSecs(second), Qt::UTC);
        p.position = QGeoPositionInfo(QGeoCoordinate(latitude, longitude), utc.toLocalTime());
    }
    return p;
}

QList<VectarisDataset> threeSeries()
{
    VectarisDataset titled;
    titled.title = QStringLiteral("Main street, north");
    titled.points = {point(1.5f, 48.0, 11.0, 0), point(2.5f, 0, 0, -1), point(3.5f, 48.001, 11.001, 2)};
    VectarisDataset dated;
    dated.date = QDateTime(QDate(2021, 6, 2), QTime(8, 30), Qt::UTC).toLocalTime();
    dated.points = {point(0.5f, -33.0, 151.0, 0)};
    VectarisDataset empty;
    empty.title = QStringLiteral("Nothing here");
    return {titled, dated, empty};
}

class MeasurementsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page = std::make_unique<MeasurementsWidget>();
        page->resize(1000, 700);
        MeasurementsWidget::Dialogs dialogs;
        dialogs.saveFileName = [this](QWidget*, const QString& caption, const QString& filters,
                                      QString* filter) {
            askedCaption = caption;
            askedFilters = filters;
            askedPreselected = *filter;
            *filter = answerFilter;
            return answerFile;
        };
        dialogs.confirm = [this](QWidget*, const QString& question) {
            questions << question;
            return answerYes;
        };
        dialogs.showError = [this](QWidget*, const QString& message) { errors << message; };
        dialogs.openUrl = [this](const QUrl& url) {
            opened << url;
            return openerWorks;
        };
        page->setDialogs(dialogs);
        page->show();
        ASSERT_TRUE(dir.isValid());
    }

    template <typename T> T* child(const char* name) const
    {
        T* widget = page->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    QListView* list() const { return child<QListView>("datasetsListView"); }
    TrackPictureWidget* picture() const { return child<TrackPictureWidget>("trackPictureWidget"); }
    QTableView* table() const { return child<QTableView>("pointsTableView"); }
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex& index :
             list()->selectionModel()->selectedRows(VectarisDatasetModel::DateColumn))
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void select(QList<int> rows)
    {
        list()->clearSelection();
        for (int row : rows)
            list()->selectionModel()->select(
                page->datasetModel()->index(row, VectarisDatasetModel::DateColumn),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // Not the default template: the tool's application name, which it takes, has a slash in it.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/measurements-XXXXXX")};
    std::unique_ptr<MeasurementsWidget> page;
    QString askedCaption, askedFilters, askedPreselected;
    QString answerFile, answerFilter;
    bool answerYes = false;
    bool openerWorks = true;
    QStringList questions, errors;
    QList<QUrl> opened;

    QProgressBar* bar() const { return child<QProgressBar>("exportProgressBar"); }
    // Clicks Export and, when that started an export, waits for its end: its result, else kNoExport.
    static constexpr int kNoExport = 99;
    int exportMarked()
    {
        QSignalSpy finished(page.get(), &MeasurementsWidget::exportFinished);
        child<ToolButton>("exportButton")->click();
        if (!bar()->isVisible())
            return kNoExport;
        EXPECT_TRUE(finished.wait(10000));
        EXPECT_FALSE(bar()->isVisible());
        return finished.isEmpty() ? kNoExport : finished.first().first().toInt();
    }
};

TEST(ToolButtonTooltip, IsBuiltFromLabelShortcutAndHelpAndTheShortcutSurvivesANewLabel)
{
    const QKeySequence f5(Qt::Key_F5);
    const QString help = QStringLiteral("Reload <b>all</b>");
    struct Case
    {
        QString label;
        QKeySequence keys;
        QString help;
        QString tooltip;
    };
    const Case cases[] = {
        {QString(), QKeySequence(), QString(), QString()},
        {"Reload", QKeySequence(), QString(), "<table><tr><td>Reload</td></tr></table>"},
        {"Reload", f5, QString(), "<table><tr><td>Reload</td><td>&nbsp;&nbsp;</td><td>F5</td></tr></table>"},
        {QString(), f5, QString(), "<table><tr><td>F5</td></tr></table>"},
        {QString(), QKeySequence(), help, help},
        {"A & B", QKeySequence(), help,
         "<b><big>A &amp; B</big></b><br/><p align=\"justify\">" + help + "</p>"},
        {QString(), f5, help, "<b><big>F5</big></b><br/><p align=\"justify\">" + help + "</p>"},
        {"Reload", f5, help,
         QStringLiteral(
             "<table width=\"100%\"><tr><td><b><big>Reload</big></b></td><td align=\"right\"><big>(F5)</big>"
             "</td></tr><tr><td colspan=\"2\"><p align=\"justify\">") +
             help + QStringLiteral("</p></td></tr></table>")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToolButton::toolTipFor(c.label, c.keys, c.help), c.tooltip) << c.tooltip.toStdString();
        // The button builds the same tooltip from its own pieces, also with its label hidden.
        ToolButton button;
        button.setLabel(c.label);
        button.setButtonShortcut(c.keys);
        button.setWhatsThisHelp(c.help);
        EXPECT_EQ(button.toolTip(), c.tooltip);
        button.setLabelVisible(false);
        EXPECT_TRUE(button.text().isEmpty());
        EXPECT_EQ(button.toolTip(), c.tooltip);
        button.setLabelVisible(true);
        EXPECT_EQ(button.text(), c.label);
    }

    // The shortcut survives a new label with a mnemonic, also one given while the label is hidden.
    ToolButton button;
    button.setButtonShortcut(QKeySequence(Qt::Key_F5));
    button.setLabel(QStringLiteral("&Reload"));
    EXPECT_EQ(button.shortcut(), QKeySequence(Qt::Key_F5));
    button.setLabelVisible(false);
    button.setLabel(QStringLiteral("Again")); // while hidden: goes into the hidden label
    EXPECT_TRUE(button.text().isEmpty());
    EXPECT_TRUE(button.toolTip().contains(QStringLiteral("Again")));
    EXPECT_EQ(button.shortcut(), QKeySequence(Qt::Key_F5));
}

TEST_F(MeasurementsPage, ButtonsShowIconsWithDistinctShortcutsAndNoneToDelete)
{
    struct Expected
    {
        const char* name;
        QString label;
        QString help;
        QKeySequence keys;
    };
    const Expected buttons[] = {
        {"selectAllButton", "Select all", "Mark all the measurement series",
         QKeySequence(Qt::CTRL + Qt::Key_A)},
        {"refreshDataSetsButton", "Reload", "Reload the data from the device", QKeySequence(Qt::Key_F5)},
        {"exportButton", "Export", "Export the marked measurement series",
         QKeySequence(Qt::CTRL + Qt::Key_E)},
        {"deleteButton", "Delete",
         "Delete <b>all of the displayed</b> measurement series from the indicator unit.<br>\n"
         "The deletion of individual measurement series is not possible.",
         QKeySequence()},
    };
    for (const Expected& e : buttons) {
        auto* button = child<ToolButton>(e.name);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->text().isEmpty()) << e.name;
        EXPECT_EQ(button->label(), e.label);
        EXPECT_EQ(button->whatsThis(), e.help);
        EXPECT_EQ(button->shortcut(), e.keys) << e.name;
        EXPECT_EQ(button->toolTip(), ToolButton::toolTipFor(e.label, e.keys, e.help));
        EXPECT_EQ(button->size(), QSize(60, 60));
        EXPECT_EQ(button->iconSize(), QSize(32, 32));
        EXPECT_FALSE(button->icon().isNull()) << e.name;
    }
    EXPECT_TRUE(child<ToolButton>("selectAllButton")->isCheckable());

    // F5 reloads; Ctrl+E with nothing marked asks nothing.
    QApplication::setActiveWindow(page.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    QSignalSpy reloads(page.get(), &MeasurementsWidget::updateDataSets);
    // A button's shortcut clicks it after a short animation.
    QTest::keyClick(page.get(), Qt::Key_F5);
    EXPECT_TRUE(reloads.wait(20000));
    EXPECT_EQ(reloads.count(), 1);
    page->setDatasets(threeSeries());
    answerFile.clear();
    QTest::keyClick(page.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !askedCaption.isEmpty(); }, 20000));
}

TEST_F(MeasurementsPage, SelectionDrivesTheDetailsAndThePicture)
{
    page->setDatasets(threeSeries());
    EXPECT_EQ(list()->modelColumn(), VectarisDatasetModel::DateColumn);
    EXPECT_EQ(list()->model()->rowCount(), 3);
    EXPECT_EQ(list()->currentIndex().row(), 0);

    struct Row
    {
        int row;
        QString location;
        bool dated;
        int points;
        int fixes;
    };
    const Row rows[] = {{0, "Main street, north", false, 3, 2},
                        {1, "Unknown location", true, 1, 1},
                        {2, "Nothing here", false, 0, 0},
                        {0, "Main street, north", false, 3, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        if (r.row != list()->currentIndex().row())
            list()->setCurrentIndex(page->datasetModel()->index(r.row, VectarisDatasetModel::DateColumn));
        EXPECT_EQ(text("locationLabel"), r.location);
        EXPECT_EQ(text("dateLabel"),
                  r.dated ? QLocale().toString(threeSeries().at(r.row).date, QLocale::ShortFormat)
                          : QString());
        EXPECT_EQ(page->dataPointModel()->rowCount(), r.points);
        EXPECT_EQ(table()->isVisible(), r.points > 0);
        EXPECT_EQ(picture()->isVisible(), r.points > 0);
        EXPECT_EQ(picture()->pointCount(), r.points);
        EXPECT_EQ(picture()->fixCount(), r.fixes);
    }
    // The point without a fix is listed but not drawn; the drawn ones are found where they are drawn.
    EXPECT_EQ(table()->model()->index(1, VectarisDataPointModel::PositionColumn).data().toString(),
              QString());
    EXPECT_TRUE(picture()->positionOf(1).isNull());
    for (int index : {0, 2}) {
        const QPointF at = picture()->positionOf(index);
        ASSERT_FALSE(at.isNull());
        EXPECT_EQ(picture()->pointAt(at.toPoint()), index);
        EXPECT_TRUE(picture()->pointText(index).contains(QStringLiteral("Depth [m]")));
    }
    EXPECT_EQ(picture()->pointAt(QPoint(1, 1)), -1);
    // North up: the northern point is drawn higher; east to the right.
    EXPECT_LT(picture()->positionOf(2).y(), picture()->positionOf(0).y());
    EXPECT_GT(picture()->positionOf(2).x(), picture()->positionOf(0).x());

    // Colouring by another value is a choice of the combo box.
    auto* colour = child<QComboBox>("colourComboBox");
    EXPECT_EQ(picture()->colourValue(), TrackPictureWidget::Depth);
    colour->setCurrentIndex(TrackPictureWidget::Amperage);
    EXPECT_EQ(picture()->colourValue(), TrackPictureWidget::Amperage);

    // Unchecking "select all" clears the selection, and the first series is picked again; so is a
    // Ctrl-click that deselects the only selected row.
    auto* selectAll = child<ToolButton>("selectAllButton");
    selectAll->click();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2}));
    list()->setCurrentIndex(page->datasetModel()->index(1, VectarisDatasetModel::DateColumn));
    selectAll->click(); // off
    EXPECT_EQ(selectedRows(), QList<int>{0});
    EXPECT_EQ(text("locationLabel"), QStringLiteral("Main street, north"));
    list()->selectionModel()->select(page->datasetModel()->index(0, VectarisDatasetModel::DateColumn),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(selectedRows(), QList<int>{0});
}

TEST_F(MeasurementsPage, SelectAllFollowsEveryChangeAndAnEmptyListClearsTheDetails)
{
    auto* selectAll = child<ToolButton>("selectAllButton");
    EXPECT_FALSE(selectAll->isVisible());
    const QList<VectarisDataset> all = threeSeries();
    struct Step
    {
        QList<VectarisDataset> datasets;
        bool selectAllShown;
    };
    const Step steps[] = {
        {all.mid(0, 1), false}, {all, true}, {all.mid(1, 1), false}, {all.mid(0, 2), true}, {{}, false}};
    for (const Step& step : steps) {
        page->setDatasets(step.datasets);
        EXPECT_EQ(selectAll->isVisible(), step.selectAllShown) << step.datasets.size();
    }
    // A model reset (the unit went) and inserted rows count as well.
    page->setDatasets(all);
    page->datasetModel()->clear();
    EXPECT_FALSE(selectAll->isVisible());

    // The last reload brought nothing: nothing of the series shown before stays.
    page->setDatasets(all);
    ASSERT_EQ(text("locationLabel"), QStringLiteral("Main street, north"));
    page->setDatasets({});
    EXPECT_EQ(text("locationLabel"), QString());
    EXPECT_EQ(text("dateLabel"), QString());
    EXPECT_EQ(page->dataPointModel()->rowCount(), 0);
    EXPECT_FALSE(table()->isVisible());
    EXPECT_EQ(picture()->pointCount(), 0);

    // A reload that changes the first series shows its new contents.
    QList<VectarisDataset> changed = all;
    page->setDatasets(all);
    changed[0].points.removeLast();
    page->setDatasets(changed);
    EXPECT_EQ(page->dataPointModel()->rowCount(), 2);
    EXPECT_EQ(picture()->fixCount(), 1);
}

TEST_F(MeasurementsPage, ExportWritesTheMarkedSeriesInTheChosenFormat)
{
    page->setDatasets(threeSeries());
    select({1, 0});
    const QByteArray datedName = threeSeries().at(1).date.toString(Qt::TextDate).toUtf8();
    struct Case
    {
        QString filter;
        QString answer;
        QString written;
        QByteArray start;
    };
    const Case cases[] = {
        {MeasurementsWidget::filterFor(Format::Kml), "a", "a.kml", "<kml"},
        {MeasurementsWidget::filterFor(Format::Gpx), "b", "b.gpx", "<gpx"},
        {MeasurementsWidget::filterFor(Format::Csv), "c", "c.csv", "Series,"},
        // A suffix that is there stays; the chosen format decides the content.
        {MeasurementsWidget::filterFor(Format::Csv), "d.txt", "d.txt", "Series,"},
        // No filter reported: the suffix tells.
        {QString(), "e.gpx", "e.gpx", "<gpx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        answerFilter = c.filter;
        answerFile = dir.filePath(c.answer);
        opened.clear();
        EXPECT_EQ(exportMarked(), DatasetExport::Written);
        EXPECT_EQ(bar()->value(), bar()->maximum());
        const QString written = dir.filePath(c.written);
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        EXPECT_TRUE(content.contains(c.start));
        // Both marked series, in the order the selection has them.
        const int first = content.indexOf(datedName);
        const int second = content.indexOf("Main street");
        EXPECT_GE(first, 0);
        EXPECT_GT(second, first);
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(written)});
    }
    EXPECT_EQ(askedPreselected, MeasurementsWidget::filterFor(Format::Kml));
    for (auto format : {Format::Kml, Format::Gpx, Format::Csv})
        EXPECT_TRUE(askedFilters.contains(MeasurementsWidget::filterFor(format)));
    EXPECT_TRUE(errors.isEmpty());

    // No program for the type: a quiet log line, not an error box.
    openerWorks = false;
    answerFilter.clear();
    answerFile = dir.filePath(QStringLiteral("f.kml"));
    exportMarked();
    EXPECT_TRUE(QFile::exists(answerFile));
    EXPECT_TRUE(errors.isEmpty());

    // Cancelled: nothing is written, opened or reported.
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    opened.clear();
    answerFile.clear();
    EXPECT_EQ(exportMarked(), kNoExport);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

// In every format: an export that fails is reported with its reason and leaves nothing; Cancel pressed
// while the document is being written leaves the earlier file of that name as it was and no temporary
// file, and nothing is reported or opened.
TEST_F(MeasurementsPage, AFailedOrCancelledExportLeavesNothingButTheEarlierFile)
{
    page->setDatasets(threeSeries());
    select({0, 1});
    const QString earlierPath = dir.filePath(QStringLiteral("earlier"));
    QFile earlier(earlierPath);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();
    for (auto format : {Format::Kml, Format::Gpx, Format::Csv}) {
        answerFilter = MeasurementsWidget::filterFor(format);
        SCOPED_TRACE(answerFilter.toStdString());
        errors.clear();
        answerFile = dir.filePath(QStringLiteral("gone/series"));
        EXPECT_EQ(exportMarked(), DatasetExport::Failed);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("gone")))));
        EXPECT_FALSE(errors.first().section(QLatin1Char('\n'), 1).isEmpty()) << "the reason";
        errors.clear();
        qDeleteAll(page->findChildren<DatasetExport*>()); // the failed job: the next one is watched below

        answerFile = earlierPath;
        QSignalSpy finished(page.get(), &MeasurementsWidget::exportFinished);
        child<ToolButton>("exportButton")->click();
        auto* job = page->findChild<DatasetExport*>();
        ASSERT_NE(job, nullptr);
        // The writer waits inside the document until Cancel was pressed.
        QSemaphore inside, pressed;
        job->progress().setBatchHook([&](qint64) {
            inside.release();
            pressed.acquire();
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return inside.tryAcquire(); }, 10000));
        EXPECT_FALSE(child<ToolButton>("exportButton")->isEnabled());
        child<QPushButton>("cancelExportButton")->click();
        pressed.release(2);
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(finished.first().first(), DatasetExport::Cancelled);
        delete job;
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("earlier"));
        earlier.close();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"earlier"});
        EXPECT_TRUE(child<ToolButton>("exportButton")->isEnabled());
        EXPECT_TRUE(errors.isEmpty());
    }
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(MeasurementsPage, DeleteWithoutAUnitAsksNothingOfNobody)
{
    page->setDatasets(threeSeries());
    QSignalSpy removals(page.get(), &MeasurementsWidget::removeDataSets);
    answerYes = true;
    page->findChild<ToolButton*>(QStringLiteral("deleteButton"))->click();
    // All rows are marked, as the question says, but without a unit there is nothing to delete on.
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(questions, QStringList{QStringLiteral("Do you want to remove all datasets on the device?")});
    EXPECT_EQ(removals.count(), 0);
}

// Distances in the picture are ground distances: a degree of longitude shrinks with the latitude, and
// the scale bar is a round number of metres that fits a quarter of the plot.
TEST(TrackPicture, DrawsGroundDistancesToScale)
{
    struct Case
    {
        double latitude;
        double dLatitude, dLongitude;
        double metres; // ground distance between the two points
    };
    const Case cases[] = {{48.0, 0.001, 0, 111.195},
                          {60.0, 0, 0.002, 111.195},
                          {0.0, 0, 0.01, 1111.95},
                          {-33.0, 0.003, 0.003, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.latitude);
        TrackPictureWidget picture;
        picture.resize(600, 400);
        VectarisDataPoints points = {point(1, c.latitude, 11.0, 0),
                                     point(2, c.latitude + c.dLatitude, 11.0 + c.dLongitude, 1)};
        picture.setDataPoints(points);
        const QPointF a = picture.positionOf(0);
        const QPointF b = picture.positionOf(1);
        const double pixels = std::hypot(b.x() - a.x(), b.y() - a.y());
        double expected = c.metres;
        if (expected == 0) { // diagonal: north and east legs
            const double north = c.dLatitude * 111195.0;
            const double east =
                c.dLongitude * 111195.0 * std::cos((c.latitude + c.dLatitude / 2) * M_PI / 180);
            expected = std::hypot(north, east);
        }
        EXPECT_NEAR(pixels * picture.metresPerPixel(), expected, expected * 0.002);
        const double bar = picture.scaleBarMetres();
        const double leading = bar / std::pow(10.0, std::floor(std::log10(bar)));
        EXPECT_TRUE(std::abs(leading - 1) < 1e-9 || std::abs(leading - 2) < 1e-9 ||
                    std::abs(leading - 5) < 1e-9)
            << bar;
        EXPECT_LE(bar / picture.metresPerPixel(), 600 / 4.0);
        EXPECT_GT(bar / picture.metresPerPixel(), 600 / 4.0 / 2.5 - 20);
    }
}

} // namespace
