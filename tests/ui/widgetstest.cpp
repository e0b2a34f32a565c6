// The small widgets of the window frame: spinner, progress dialog, top bar, sidebar, and the frame
// hit-test rules, and the colours of the develop page's option table.
#include "core/applicationidentity.h"
#include "options/optiontablemodel.h"
#include "ui/framehittest.h"
#include "ui/mainsidebarwidget.h"
#include "ui/optiontablecolours.h"
#include "ui/progressdialog.h"
#include "ui/qprogressindicator.h"
#include "ui/topbarwidget.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Counts the pixels that differ from fully transparent.
int paintedPixels(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) != 0;
        }
    }
    return count;
}

TEST(WidgetsTest, SpinnerDrawsOnlyWhileAnimatingOrWhenAskedTo)
{
    QProgressIndicator spinner;
    spinner.resize(40, 40);
    EXPECT_EQ(spinner.sizeHint(), QSize(20, 20));
    EXPECT_EQ(spinner.heightForWidth(33), 33);
    EXPECT_EQ(paintedPixels(spinner), 0);

    spinner.setDisplayedWhenStopped(true);
    EXPECT_GT(paintedPixels(spinner), 0);
    spinner.setDisplayedWhenStopped(false);

    spinner.startAnimation();
    EXPECT_TRUE(spinner.isAnimated());
    EXPECT_GT(paintedPixels(spinner), 0);
    spinner.stopAnimation();
    EXPECT_FALSE(spinner.isAnimated());
    EXPECT_EQ(paintedPixels(spinner), 0);
}

// The bar replaces the spinner once a job reports a maximum; the dialog cannot be closed by the user;
// its hide waits two seconds, so that the next job within them finds it still shown.
TEST(WidgetsTest, ProgressDialogShowsReportedProgressIgnoresEscapeAndHidesLate)
{
    ProgressDialog dialog;
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("label"));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.size(), QSize(400, 300));
    EXPECT_EQ(label->text(), QStringLiteral("Please wait..."));

    dialog.setModal(true);
    dialog.show(); // busy
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.indicator()->isAnimated());
    dialog.setProgress(QStringLiteral("ReadLogJob"), 3, -1, QString()); // no maximum: spinner stays
    EXPECT_FALSE(dialog.bar()->isVisible());
    dialog.setProgress(QStringLiteral("WriteFirmwareJob"), 760, 3000, QStringLiteral("Writing firmware..."));
    EXPECT_TRUE(dialog.bar()->isVisible());
    EXPECT_FALSE(dialog.indicator()->isVisible());
    EXPECT_EQ(dialog.bar()->value(), 760);
    EXPECT_EQ(dialog.bar()->maximum(), 3000);
    EXPECT_EQ(label->text(), QStringLiteral("Writing firmware..."));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());

    dialog.hide(); // idle: the hide is delayed
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isHidePending());
    dialog.show(); // busy again within two seconds cancels the hide; the job starts with the spinner
    EXPECT_FALSE(dialog.isHidePending());
    EXPECT_FALSE(dialog.bar()->isVisible());
    EXPECT_TRUE(dialog.indicator()->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Please wait..."));
    QTest::qWait(ProgressDialog::kHideDelayMs + 200); // past the first hide's two seconds
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.indicator()->isAnimated());

    dialog.hide();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 20000));
    EXPECT_GE(clock.elapsed(), ProgressDialog::kHideDelayMs - 50);
    EXPECT_FALSE(dialog.indicator()->isAnimated());
    dialog.hide(); // idle without a job: stays hidden, whatever is reported
    dialog.setProgress(QStringLiteral("Job"), 1, 2, QStringLiteral("ignored"));
    EXPECT_FALSE(dialog.isVisible());
}

// A read of 200 options reports 200 steps: the bar takes each value but is not repainted for each.
TEST(WidgetsTest, ProgressDialogBarPaintsAFewOfManyStepsAndTheLastValue)
{
    ProgressDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    dialog.bar()->installEventFilter(&counter);
    for (int value = 0; value < 200; ++value) {
        dialog.setProgress(QStringLiteral("ReadDeviceMultipleOptionsJob"), value, 200, QString());
        EXPECT_EQ(dialog.bar()->value(), value);
    }
    EXPECT_LE(counter.paints, 2); // the first step; the others wait for the event loop
    const int before = counter.paints;
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 5000)); // the last step shown
}

TEST(WidgetsTest, TopBarButtonsFollowTheWindowStateHaveNamesAndEmitTheirSignals)
{
    TopBarWidget bar;
    auto visible = [&bar](const char* name) { return bar.findChild<QWidget*>(name)->isVisibleTo(&bar); };
    EXPECT_EQ(bar.findChild<QLabel*>("titleLabel")->text(), "Service Software Vectaris/Tymbrel");
    EXPECT_EQ(bar.findChild<QLabel*>("subtitleLabel")->text(), "Version: " + ApplicationIdentity::version());

    struct Case
    {
        Qt::WindowStates state;
        bool min, max, restore;
    };
    const Case cases[] = {
        {Qt::WindowMaximized, true, false, true},
        {Qt::WindowNoState, true, true, false},
        {Qt::WindowMinimized, false, true, true},
        {Qt::WindowMinimized | Qt::WindowMaximized, true, false, true}, // maximised wins
    };
    for (const Case& c : cases) {
        bar.setWindowState(c.state);
        EXPECT_EQ(visible("minButton"), c.min) << int(c.state);
        EXPECT_EQ(visible("maxButton"), c.max) << int(c.state);
        EXPECT_EQ(visible("restoreButton"), c.restore) << int(c.state);
    }

    // Every button has a name to read out and emits its signal, shown or not.
    const struct
    {
        const char* button;
        void (TopBarWidget::*signal)();
        const char* name;
    } buttons[] = {{"closeButton", &TopBarWidget::closeWindow, "Close"},
                   {"minButton", &TopBarWidget::minimizeWindow, "Minimize"},
                   {"maxButton", &TopBarWidget::maximizeWindow, "Maximize"},
                   {"restoreButton", &TopBarWidget::restoreWindow, "Restore"}};
    for (const auto& c : buttons) {
        QSignalSpy spy(&bar, c.signal);
        auto* button = bar.findChild<QToolButton*>(QLatin1String(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        EXPECT_EQ(button->text(), QLatin1String(c.name));
        EXPECT_FALSE(button->accessibleName().isEmpty()) << c.button;
        EXPECT_FALSE(button->toolTip().isEmpty()) << c.button;
        EXPECT_FALSE(button->icon().isNull()) << c.button;
        button->click();
        EXPECT_EQ(spy.count(), 1) << c.button;
    }
}

TEST(WidgetsTest, TopBarTitleAreaExcludesTheButtons)
{
    TopBarWidget bar;
    bar.resize(800, 60);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    auto* title = bar.findChild<QWidget*>(QStringLiteral("titleWidget"));
    auto* close = bar.findChild<QWidget*>(QStringLiteral("closeButton"));
    EXPECT_TRUE(bar.isInTitleArea(title->mapToGlobal(title->rect().center())));
    EXPECT_TRUE(bar.isInTitleArea(title->mapToGlobal(QPoint(1, 1))));
    EXPECT_FALSE(bar.isInTitleArea(close->mapToGlobal(close->rect().center())));
    EXPECT_FALSE(bar.isInTitleArea(bar.mapToGlobal(QPoint(-5, 10))));
}

TEST(WidgetsTest, SidebarEmitsOnlyForANewSelection)
{
    MainSidebarWidget sidebar;
    QSignalSpy spy(&sidebar, &MainSidebarWidget::buttonChecked);
    EXPECT_EQ(sidebar.checkedId(), -1);

    sidebar.setCurrentPage(1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), 1);

    sidebar.setCurrentPage(1); // already selected: nothing
    EXPECT_EQ(spy.count(), 0);

    sidebar.setCurrentPage(7); // no such button: nothing, selection kept
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(sidebar.checkedId(), 1);

    sidebar.button(3)->click(); // a click selects like setCurrentPage, and deselects the old one silently
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), 3);
    EXPECT_EQ(sidebar.checkedId(), 3);

    const char* names[] = {"logoButton",    "infoButton",       "measurementsButton",
                           "serviceButton", "productionButton", "developButton"};
    for (int id = 0; id < 6; ++id) {
        EXPECT_EQ(sidebar.button(id)->objectName(), QLatin1String(names[id]));
        EXPECT_EQ(sidebar.button(id)->height(), 60);
        EXPECT_FALSE(sidebar.button(id)->icon().isNull()) << names[id];
        EXPECT_FALSE(sidebar.button(id)->accessibleName().isEmpty()) << names[id];
    }
    EXPECT_EQ(sidebar.button(0)->iconSize(), QSize(40, 40));
}

// --- frame hit test -------------------------------------------------------------------------------

// The window spans x 100..1059 and y 50..739; the bands are eight pixels wide on every edge.
TEST(FrameHitTest, BandsCornersFixedAxesAndTheTitleArea)
{
    struct Case
    {
        int x, y;
        FrameHit hit;
        bool title = false;
        bool widthFixed = false;
        bool heightFixed = false;
    };
    const Case cases[] = {
        {100, 400, FrameHit::Left},
        {107, 400, FrameHit::Left},
        {108, 400, FrameHit::None},
        {1059, 400, FrameHit::Right},
        {1052, 400, FrameHit::Right},
        {1051, 400, FrameHit::None},
        {1060, 400, FrameHit::None}, // the right edge is exclusive
        {500, 50, FrameHit::Top},
        {500, 57, FrameHit::Top},
        {500, 58, FrameHit::None},
        {500, 739, FrameHit::Bottom},
        {500, 732, FrameHit::Bottom},
        {500, 731, FrameHit::None},
        {100, 50, FrameHit::TopLeft},
        {1059, 50, FrameHit::TopRight},
        {103, 736, FrameHit::BottomLeft},
        {1055, 739, FrameHit::BottomRight},
        // Equal minimum and maximum along an axis: no bands across it.
        {100, 50, FrameHit::Top, false, true},
        {1059, 400, FrameHit::None, false, true},
        {100, 50, FrameHit::Left, false, false, true},
        {500, 739, FrameHit::None, false, false, true},
        {500, 80, FrameHit::Caption, true},
        {500, 52, FrameHit::Top, true}, // the top band wins over the title area
        {500, 80, FrameHit::None},
    };
    for (const Case& c : cases) {
        const FrameHitTestInput in{100, 50, 1060, 740, c.x, c.y, !c.widthFixed, !c.heightFixed, c.title, 8};
        EXPECT_EQ(frameHitTest(in), c.hit) << c.x << "," << c.y;
    }
    // The values the native hit-test answer is built from.
    EXPECT_EQ(int(FrameHit::Caption), 2);
    EXPECT_EQ(int(FrameHit::BottomRight), 17);
}

} // namespace

TEST(OptionTableColours, EveryCellOnWhiteAndTheTableShowsThrough)
{
    OptionTableModel table;
    OptionTableColours colours(&table);
    table.setOptionValue(5, QByteArray("x"));
    for (int column = 0; column < OptionTableModel::ColumnCount; ++column) {
        EXPECT_EQ(colours.index(0, column).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white))
            << column;
    }
    EXPECT_EQ(colours.index(0, OptionTableModel::HexColumn).data().toString(), QStringLiteral("78"));
}
