// The frameless window's own frame on Linux: dragging the title area moves it, the edge bands resize
// it, the top bar's buttons still get their clicks, and a maximised window stays in the work area.
// The offscreen platform cannot hand moves to a window manager, so the fallback path runs here.
#include "ui/mainwindow.h"
#include "ui/topbarwidget.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>();
        window->setGeometry(100, 100, 960, 690);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A drag with the left button from `from` (window coordinates) by `delta`. The pointer moves in
    // screen coordinates, as a real mouse does, while the window may move under it.
    void drag(QPoint from, QPoint delta)
    {
        QWindow* handle = window->windowHandle();
        const QPoint start = handle->mapToGlobal(from);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(handle, handle->mapFromGlobal(start + delta / 2));
        QTest::mouseMove(handle, handle->mapFromGlobal(start + delta));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, handle->mapFromGlobal(start + delta));
        QCoreApplication::processEvents();
    }

    // The centre of the top bar's child `name`, in window coordinates.
    QPoint centreOf(const char* name) const
    {
        QWidget* w = window->topBar()->findChild<QWidget*>(name);
        return w->mapTo(window.get(), w->rect().center());
    }

    std::unique_ptr<MainWindow> window;
};

TEST_F(FrameTest, DraggingTheTitleMovesTheWindowAndTheTopBarsButtonsStillGetTheirClicks)
{
    const QRect before = window->geometry();
    drag(centreOf("titleWidget"), QPoint(40, 25));
    EXPECT_EQ(window->geometry().topLeft(), before.topLeft() + QPoint(40, 25));
    EXPECT_EQ(window->size(), before.size());

    QSignalSpy closing(window->topBar(), &TopBarWidget::closeWindow);
    const QRect moved = window->geometry();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, centreOf("closeButton"));
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(window->geometry(), moved);
}

TEST_F(FrameTest, EdgeBandsResizeTheWindowAndAFixedWidthHasNoSideBands)
{
    const QRect before = window->geometry();
    drag(QPoint(before.width() - 3, before.height() / 2), QPoint(50, 0)); // right band
    EXPECT_EQ(window->width(), before.width() + 50);
    EXPECT_EQ(window->x(), before.x());

    const QRect wide = window->geometry();
    drag(QPoint(2, wide.height() - 2), QPoint(-30, 20)); // bottom-left corner
    EXPECT_EQ(window->geometry().left(), wide.left() - 30);
    EXPECT_EQ(window->geometry().right(), wide.right());
    EXPECT_EQ(window->height(), wide.height() + 20);

    // A point just inside the band's end is no longer on it: the page below gets the press.
    const QRect sized = window->geometry();
    drag(QPoint(sized.width() - 20, sized.height() / 2), QPoint(50, 0));
    EXPECT_EQ(window->geometry(), sized);

    // A fixed width offers no side bands; the bottom band still works.
    window->setFixedWidth(sized.width());
    drag(QPoint(sized.width() - 3, sized.height() / 2), QPoint(50, 0));
    EXPECT_EQ(window->geometry(), sized);
    drag(QPoint(sized.width() / 2, sized.height() - 3), QPoint(0, 40));
    EXPECT_EQ(window->height(), sized.height() + 40);
}

TEST_F(FrameTest, MaximisedWindowIsNotResizedByTheBandsAndStaysInTheWorkArea)
{
    window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isMaximized(); }, 20000));
    QCoreApplication::processEvents();
    const QRect work = window->screen()->availableGeometry();
    EXPECT_TRUE(work.contains(window->frameGeometry()));
    const QRect before = window->geometry();
    drag(QPoint(before.width() - 3, before.height() / 2), QPoint(-50, 0));
    EXPECT_EQ(window->geometry(), before);
}

} // namespace
