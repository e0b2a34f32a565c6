// The main window without an instrument: form, pages, notifications, window state and geometry.
#include "ui/mainwindow.h"
#include "core/settings.h"
#include "devices/tymbrelsensor.h"
#include "ui/deviceconfirmation.h"
#include "ui/infowidget.h"
#include "ui/mainsidebarwidget.h"
#include "ui/measurementswidget.h"
#include "ui/productionwidget.h"
#include "ui/progressdialog.h"
#include "ui/topbarwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool buttonVisible(MainWindow& window, int id)
{
    return window.sidebar()->button(id)->isVisibleTo(window.sidebar());
}

TEST(MainWindowTest, FormPagesAndStartState)
{
    MainWindow window;
    EXPECT_EQ(window.objectName(), QStringLiteral("MainWindow"));
    EXPECT_EQ(window.size(), QSize(960, 720)); // nothing stored yet: the form's size
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.progress()->isModal());
    EXPECT_FALSE(window.notificationBar()->isVisibleTo(&window));

    const char* names[] = {"aboutWidget",      "infoWidget",    "measurementsWidget", "serviceWidget",
                           "productionWidget", "developWidget", "historyWidget"};
    auto* stack = window.findChild<QStackedWidget*>(QStringLiteral("contentWidget"));
    ASSERT_NE(stack, nullptr);
    ASSERT_EQ(stack->count(), 7);
    for (int id = 0; id < 7; ++id) {
        ASSERT_NE(window.page(id), nullptr);
        EXPECT_EQ(window.page(id)->objectName(), QLatin1String(names[id]));
        QWidget* inStack = window.page(id); // a page that scrolls sits in the stack through its scroll area
        while (inStack && inStack->parentWidget() != stack) {
            inStack = inStack->parentWidget();
        }
        EXPECT_EQ(stack->indexOf(inStack), id);
    }

    // Info selected, every device button hidden, About, Info and History (its search needs no instrument)
    // offered.
    EXPECT_EQ(window.sidebar()->checkedId(), MainWindow::InfoPage);
    EXPECT_EQ(window.currentPage(), window.page(MainWindow::InfoPage));
    for (int id : {MainWindow::AboutPage, MainWindow::InfoPage, MainWindow::HistoryPage}) {
        EXPECT_TRUE(buttonVisible(window, id)) << id;
    }
    for (int id : {2, 3, 4, 5}) {
        EXPECT_FALSE(buttonVisible(window, id)) << id;
    }
    EXPECT_EQ(window.sidebar()->width(), 60);
    EXPECT_EQ(window.topBar()->height(), 60);

    // The sidebar switches pages; ids without a page are ignored.
    window.sidebar()->setCurrentPage(MainWindow::AboutPage);
    for (int id : {42, -1}) {
        window.setCurrentPage(id);
        EXPECT_EQ(window.currentPage(), window.page(MainWindow::AboutPage)) << id;
    }
    window.setCurrentPage(MainWindow::DevelopPage);
    EXPECT_EQ(window.currentPage(), window.page(MainWindow::DevelopPage));
}

TEST(MainWindowTest, NotificationIsColouredByTypeAndHiddenSixSecondsAfterTheFirstOfTwo)
{
    MainWindow window;
    window.show();
    auto* bar = window.notificationBar();
    auto* text = window.findChild<QLabel*>(QStringLiteral("notificationTextLabel"));
    auto* icon = window.findChild<QLabel*>(QStringLiteral("notificationIconLabel"));
    const auto timers = [&] { return window.findChildren<QTimer*>(QStringLiteral("notificationTimer")); };

    QElapsedTimer clock;
    clock.start();
    window.showNotification(NotificationMessageType::Error, QStringLiteral("first"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->property("Type").toString(), QStringLiteral("Error"));
    EXPECT_EQ(text->property("Type").toString(), QStringLiteral("Error"));
    EXPECT_FALSE(icon->pixmap(Qt::ReturnByValue).isNull());
    ASSERT_EQ(timers().size(), 1);
    QPointer<QTimer> first = timers().constFirst();
    EXPECT_EQ(first->interval(), MainWindow::kNotificationMs);

    // Some time passes (however long the machine takes), then the second message.
    QTest::qWait(50);
    window.showNotification(NotificationMessageType::Success, QStringLiteral("second"));
    EXPECT_EQ(text->text(), QStringLiteral("second"));
    EXPECT_EQ(bar->property("Type").toString(), QStringLiteral("Success"));
    ASSERT_EQ(timers().size(), 2);
    QTimer* second = timers().constFirst() == first ? timers().constLast() : timers().constFirst();
    // The first message's timer is not restarted: it is due first and hides the bar, cutting the second
    // short.
    EXPECT_TRUE(first->isActive());
    EXPECT_LT(first->remainingTime(), second->remainingTime());
    bool hiddenByFirst = false;
    QObject::connect(first, &QTimer::timeout, &window, [&] { hiddenByFirst = !bar->isVisible(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->isVisible(); }, 30000));
    EXPECT_GE(clock.elapsed(), MainWindow::kNotificationMs - 50);
    EXPECT_TRUE(hiddenByFirst);
    // Each timer goes once it has fired.
    EXPECT_TRUE(QTest::qWaitFor([&] { return timers().isEmpty(); }, 30000));

    window.showNotification(static_cast<NotificationMessageType>(9), QStringLiteral("odd"));
    EXPECT_EQ(text->text(), QStringLiteral("odd"));
    EXPECT_EQ(text->property("Type").toString(), QString());
    EXPECT_TRUE(icon->pixmap(Qt::ReturnByValue).isNull());
    EXPECT_TRUE(bar->isVisible());
    window.hideNotification();
    EXPECT_FALSE(bar->isVisible());
}

// Which button the top bar shows in which state is its own affair; here: the window tells it, and the
// top bar's buttons drive the window.
TEST(MainWindowTest, CloseWhileMaximisedStoresStateButNotGeometryAndNextStartMaximisesLate)
{
    {
        MainWindow window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const auto visible = [&window](const char* name) {
            return window.topBar()->findChild<QWidget*>(QLatin1String(name))->isVisible();
        };
        EXPECT_TRUE(visible("maxButton"));
        window.topBar()->findChild<QAbstractButton*>(QStringLiteral("maxButton"))->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMaximized(); }, 20000));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return visible("restoreButton") && !visible("maxButton"); }, 20000));
        window.topBar()->findChild<QAbstractButton*>(QStringLiteral("closeButton"))->click();
        EXPECT_FALSE(window.isVisible());
    }
    // Written to the file, not only held in memory.
    QSettings file(Settings::instance()->fileName(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("WindowStates/MainWindow")).toInt(), int(Qt::WindowMaximized));
    EXPECT_FALSE(file.contains(QStringLiteral("Geometry/MainWindow")));

    MainWindow next;
    EXPECT_EQ(next.size(), QSize(960, 720));
    next.show();
    EXPECT_FALSE(next.isMaximized()); // maximised 250 ms after the show, not at once
    EXPECT_TRUE(QTest::qWaitFor([&] { return next.isMaximized(); }, 20000));
}

TEST(MainWindowTest, CloseInNormalStateStoresGeometryThatTheNextWindowRestores)
{
    {
        MainWindow window;
        window.show();
        window.setGeometry(40, 30, 1000, 700);
        window.close();
    }
    QSettings file(Settings::instance()->fileName(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("WindowStates/MainWindow")).toInt(), 0);
    EXPECT_FALSE(file.value(QStringLiteral("Geometry/MainWindow")).toByteArray().isEmpty());

    MainWindow next;
    EXPECT_EQ(next.size(), QSize(1000, 700));
}

TEST(MainWindowTest, ClosingRightAfterAJobEndsTheApplication)
{
    // The progress window stays two seconds after a job; a close within them must still quit.
    MainWindow window;
    window.show();
    window.progress()->show();
    window.progress()->hide();
    ASSERT_TRUE(window.progress()->isVisible());
    bool quitByFallback = false;
    QTimer::singleShot(50, &window, &QWidget::close);
    QTimer::singleShot(8000, qApp, [&] {
        quitByFallback = true;
        qApp->exit(1);
    });
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_FALSE(quitByFallback);
    EXPECT_FALSE(window.progress()->isVisible());
}

} // namespace

TEST(MainWindowTest, InstrumentAndFileTextsAreShownAsPlainText)
{
    // A serial, version or file name that looks like markup is shown as it is, never rendered.
    const QString text = QStringLiteral("<b>X</b>");
    MainWindow window;
    TymbrelSensor sensor(nullptr);
    auto* info = static_cast<InfoWidget*>(window.page(MainWindow::InfoPage));
    auto* production = static_cast<ProductionWidget*>(window.page(MainWindow::ProductionPage));
    info->setDevice(&sensor);
    production->setDevice(&sensor);
    struct Label
    {
        QWidget* page;
        const char* name;
        std::function<void()> feed;
    };
    // An identity whose one field is the text.
    auto identity = [&](QString DeviceIdentity::*field) {
        return [&sensor, &text, field] {
            DeviceIdentity changed;
            changed.*field = text;
            emit sensor.identityChanged(changed);
        };
    };
    const Label labels[] = {
        {info, "deviceNameLabel", [&] { info->setName(text); }},
        {info, "serialLabel", identity(&DeviceIdentity::serial)},
        {info, "versionLabel", identity(&DeviceIdentity::softwareVersion)},
        {info, "connectionStatusLabel", [&] { info->setConnectionStatus(text); }},
        {production, "deviceNameLabel", [&] { production->setName(text); }},
        {production, "serialLabel", identity(&DeviceIdentity::serial)},
        {production, "versionLabel", identity(&DeviceIdentity::softwareVersion)},
        {production, "systemIdLabel", identity(&DeviceIdentity::systemId)},
        {production, "pcbSerialLabel", identity(&DeviceIdentity::pcbSerial)},
        {production, "pcbTypeLabel", identity(&DeviceIdentity::hardwareRevision)},
        {production, "deviceTypeLabel", identity(&DeviceIdentity::deviceType)},
        {production, "lblParametersMessage",
         [&] {
             production->findChild<QLineEdit*>("editDeviceSerial")->setText(text + QChar(0x20AC));
             production->findChild<QAbstractButton*>("btnWriteParameters")->click();
         }},
        {&window, "notificationTextLabel",
         [&] { window.showNotification(NotificationMessageType::Info, text); }},
        {window.progress(), "label", [&] { window.progress()->setProgress("Job", 1, 2, text); }},
    };
    for (const Label& l : labels) {
        SCOPED_TRACE(l.name);
        l.feed();
        auto* label = l.page->findChild<QLabel*>(QLatin1String(l.name));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->text().contains(text)) << label->text().toStdString();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }

    // Message boxes, the page's own question and the measurements page's (modal) ones alike.
    const MeasurementsWidget::Dialogs dialogs = MeasurementsWidget::defaultDialogs();
    struct Box
    {
        const char* what;
        std::function<void()> show;
    };
    const Box boxes[] = {
        {"device question",
         [&] {
             DeviceConfirmation::ask(
                 &window, QStringLiteral("question"), text, [&]() -> BaseDevice* { return &sensor; }, [] {});
         }},
        {"measurements question", [&] { dialogs.confirm(&window, text); }},
        {"measurements error", [&] { dialogs.showError(&window, text); }},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.what);
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer poll; // also runs inside a modal box's own event loop
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                format = box->textFormat();
                box->done(QMessageBox::Cancel);
            }
        });
        poll.start(10);
        b.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 20000));
        EXPECT_EQ(shown, text);
        EXPECT_EQ(format, Qt::PlainText);
    }
}
