#include "ui/mainwindow.h"

#include "core/settings.h"
#include "devices/basedevice.h"
#include "records/recorder.h"
#include "ui/aboutwidget.h"
#include "ui/developwidget.h"
#include "ui/devicepage.h"
#include "ui/historywidget.h"
#include "ui/infowidget.h"
#include "ui/mainsidebarwidget.h"
#include "ui/measurementswidget.h"
#include "ui/productionwidget.h"
#include "ui/progressdialog.h"
#include "ui/servicewidget.h"
#include "ui/stationpanel.h"
#include "ui/topbarwidget.h"
#include "ui_mainwindow.h"
#include "usb/usbmanager.h"

#include <QCloseEvent>
#include <QIcon>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>

#ifdef Q_OS_WIN
#include "ui/windowsframe.h"
#else
#include "ui/linuxframe.h"
#endif

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), BaseLogger(QStringLiteral("MainWindow")), ui(std::make_unique<Ui::MainWindow>())
{
    ui->setupUi(this);
    progressDialog = new ProgressDialog(this);
    progressDialog->setModal(true);
    ui->notificationWidget->hide();

#ifdef Q_OS_WIN
    windowsframe::makeFrameless(reinterpret_cast<void*>(winId()));
#else
    frame = new LinuxFrame(this, [this](const QPoint& globalPos) { return isInTitleArea(globalPos); });
#endif

    restoreGeometry(Settings::instance()->restoreGeometry(objectName()));

    pages.insert(AboutPage, ui->aboutWidget);
    pages.insert(InfoPage, ui->infoWidget);
    pages.insert(MeasurementsPage, ui->measurementsWidget);
    pages.insert(ServicePage, ui->serviceWidget);
    pages.insert(ProductionPage, ui->productionWidget);
    pages.insert(DevelopPage, ui->developWidget);
    pages.insert(HistoryPage, ui->historyWidget);
    devicePages = {{InfoPage, ui->infoWidget},       {MeasurementsPage, ui->measurementsWidget},
                   {ServicePage, ui->serviceWidget}, {ProductionPage, ui->productionWidget},
                   {DevelopPage, ui->developWidget}, {HistoryPage, ui->historyWidget}};
    // A page taller or wider than the window scrolls instead of squeezing its controls; the Measurements
    // page lays its table and chart out to the space it gets and scrolls inside them.
    for (int id : {AboutPage, InfoPage, ServicePage, ProductionPage, DevelopPage}) {
        QWidget* page = pages.value(id);
        const int index = ui->contentWidget->indexOf(page);
        ui->contentWidget->removeWidget(page);
        auto* area = new QScrollArea(ui->contentWidget);
        area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
        area->setProperty("pageScroll", true);
        area->setFrameShape(QFrame::NoFrame);
        area->setWidgetResizable(true);
        area->setWidget(page);
        ui->contentWidget->insertWidget(index, area);
    }

    connect(ui->leftWidget, &MainSidebarWidget::buttonChecked, this, &MainWindow::setCurrentPage);
    connect(ui->aboutWidget, &AboutWidget::notify, this, &MainWindow::showNotification);
    connect(ui->historyWidget, &HistoryWidget::notify, this, &MainWindow::showNotification);
    connect(ui->topWidget, &TopBarWidget::closeWindow, this, &MainWindow::close);
    connect(ui->topWidget, &TopBarWidget::maximizeWindow, this, &MainWindow::showMaximized);
    connect(ui->topWidget, &TopBarWidget::minimizeWindow, this, &MainWindow::showMinimized);
    connect(ui->topWidget, &TopBarWidget::restoreWindow, this, &MainWindow::showNormal);
    connect(this, &MainWindow::windowStateChanged, ui->topWidget, &TopBarWidget::setWindowState);

    installEventFilter(this);
    ui->topWidget->setWindowState(windowState());

    ui->leftWidget->setCurrentPage(InfoPage);
    hideDeviceButtons();
}

MainWindow::~MainWindow() = default;

MainSidebarWidget* MainWindow::sidebar() const
{
    return ui->leftWidget;
}

TopBarWidget* MainWindow::topBar() const
{
    return ui->topWidget;
}

QWidget* MainWindow::currentPage() const
{
    QWidget* current = ui->contentWidget->currentWidget();
    if (auto* area = qobject_cast<QScrollArea*>(current)) {
        return area->widget();
    }
    return current;
}

QWidget* MainWindow::notificationBar() const
{
    return ui->notificationWidget;
}

bool MainWindow::isInTitleArea(const QPoint& globalPos) const
{
    return ui->topWidget->isInTitleArea(globalPos);
}

QString MainWindow::notificationTypeName(NotificationMessageType type)
{
    switch (type) {
    case NotificationMessageType::Info:
        return QStringLiteral("Info");
    case NotificationMessageType::Success:
        return QStringLiteral("Success");
    case NotificationMessageType::Warning:
        return QStringLiteral("Warning");
    case NotificationMessageType::Error:
        return QStringLiteral("Error");
    case NotificationMessageType::Debug:
        return QStringLiteral("Debug");
    }
    return QString();
}

QString MainWindow::notificationIconResource(NotificationMessageType type)
{
    switch (type) {
    case NotificationMessageType::Info:
        return QStringLiteral(":/icons/white/Info_32px.png");
    case NotificationMessageType::Success:
        return QStringLiteral(":/icons/white/Ok_32px.png");
    case NotificationMessageType::Warning:
        return QStringLiteral(":/icons/white/Error_32px.png");
    case NotificationMessageType::Error:
        return QStringLiteral(":/icons/white/Cancel_32px.png");
    case NotificationMessageType::Debug:
        return QStringLiteral(":/icons/white/Bug_32px.png");
    }
    return QString();
}

void MainWindow::setCurrentPage(int pageId)
{
    QWidget* target = pages.value(pageId);
    // Wrapped pages sit in the stack through their scroll area.
    while (target && target->parentWidget() && target->parentWidget() != ui->contentWidget) {
        target = target->parentWidget();
    }
    if (target) {
        ui->contentWidget->setCurrentWidget(target);
    }
}

void MainWindow::usbDeviceAdded(UsbBusDeviceAddress deviceAddress)
{
    const QSharedPointer<BaseDevice> device =
        qSharedPointerObjectCast<BaseDevice>(UsbManager::instance()->device(deviceAddress));
    if (!device) {
        logger()->debug("No device at {}", deviceAddress.toString());
        return;
    }
    logger()->debug("Device {} added at {}", device->name(), deviceAddress.toString());
    BaseDevice* d = device.data();
    devicesByAddress.insert(deviceAddress, d);
    connect(d, &BaseDevice::connected, this, &MainWindow::usbDeviceConnected, Qt::UniqueConnection);
    connect(d, &BaseDevice::disconnected, this, &MainWindow::usbDeviceDisconnected, Qt::UniqueConnection);
    connect(d, &BaseDevice::notify, this, &MainWindow::showNotification, Qt::UniqueConnection);
    connect(d, &BaseDevice::progressChanged, progressDialog, &ProgressDialog::setProgress,
            Qt::UniqueConnection);
}

void MainWindow::followUsbManager(UsbManager* manager)
{
    connect(manager, &UsbManager::deviceAdded, this, &MainWindow::usbDeviceAdded, Qt::DirectConnection);
    connect(manager, &UsbManager::deviceRemoved, this, &MainWindow::usbDeviceRemoved, Qt::DirectConnection);
    connect(manager, &UsbManager::connectionProblem, this, &MainWindow::usbConnectionProblem);
    connect(manager, &UsbManager::connectionStatusChanged, this, &MainWindow::usbConnectionStatusChanged);
    usbConnectionStatusChanged(manager->connectionStatus());
}

void MainWindow::followRecorder(Recorder* recorder)
{
    // The station's boards go into the same records as every other operation.
    ui->productionWidget->setRecorder(recorder);
    if (!recordsStatus) {
        recordsStatus = new QLabel(this);
        recordsStatus->setObjectName(QStringLiteral("recordsStatusLabel"));
        recordsStatus->setTextFormat(Qt::PlainText);
        ui->gridLayout->addWidget(recordsStatus, 3, 1);
    }
    const QPointer<Recorder> watched = recorder;
    auto update = [this, watched] {
        const bool waiting = watched && watched->waiting() > 0;
        recordsStatus->setText(waiting ? watched->statusText() : QString());
        recordsStatus->setVisible(waiting);
    };
    connect(recorder, &Recorder::waitingChanged, this, update);
    connect(recorder, &Recorder::recovered, this, update);
    // The operation went on; only its record is missing or late.
    connect(recorder, &Recorder::failed, this, [this](const QString& message) {
        logger()->error("Service records: {}", message);
        showNotification(NotificationMessageType::Error, tr("Service records: %1").arg(message));
    });
    update();
}

void MainWindow::usbConnectionProblem(UsbBusDeviceAddress address, QString message)
{
    logger()->debug("Connection problem at {}: {}", address.toString(), message);
    showNotification(NotificationMessageType::Error, message);
}

void MainWindow::usbConnectionStatusChanged(QString status)
{
    ui->infoWidget->setConnectionStatus(status);
}

void MainWindow::usbDeviceConnected()
{
    auto* device = qobject_cast<BaseDevice*>(sender());
    if (!device) {
        return;
    }
    logger()->debug("Device {} connected", device->name());
    connect(device, &BaseDevice::busy, this, &MainWindow::deviceBusy, Qt::UniqueConnection);
    connect(device, &BaseDevice::idle, progressDialog, &ProgressDialog::hide, Qt::UniqueConnection);

    showDevice(device);
    updateSidebar(device);
}

bool MainWindow::pageEnabled(int pageId) const
{
    switch (pageId) {
    case ProductionPage:
        return productionPageOn;
    case DevelopPage:
        return developPageOn;
    default:
        return true;
    }
}

void MainWindow::showDevice(BaseDevice* device)
{
    for (const auto& entry : qAsConst(devicePages)) {
        DevicePage* page = entry.second;
        page->setDevice(device && pageEnabled(entry.first) && page->serves(device) ? device : nullptr);
    }
}

void MainWindow::deviceBusy()
{
    // A running station shows its own progress; a modal window would hide its read-out.
    if (!ui->productionWidget->stationPanel()->isRunning()) {
        progressDialog->showFor(sender());
    }
}

void MainWindow::usbDeviceDisconnected()
{
    logger()->debug("Device disconnected");
    progressDialog->hide();
    showDevice(nullptr);
    showInfoUnlessAbout();
    hideDeviceButtons();
}

void MainWindow::usbDeviceRemoved(UsbBusDeviceAddress deviceAddress)
{
    logger()->debug("Device removed from {}", deviceAddress.toString());
    // A device that goes in the middle of a job never reports idle: its modal window must not stay.
    progressDialog->deviceRemoved(devicesByAddress.take(deviceAddress));
    showDevice(nullptr);
    showInfoUnlessAbout();
    hideDeviceButtons();
}

void MainWindow::updateSidebar(BaseDevice* device)
{
    showInfoUnlessAbout();
    const bool connected = device && device->isConnected();
    MainSidebarWidget* sidebar = ui->leftWidget;
    for (const auto& entry : qAsConst(devicePages)) {
        // The history's search by serial needs no instrument: its button stays.
        if (entry.first != InfoPage && entry.first != HistoryPage) {
            sidebar->setButtonVisible(
                entry.first, (connected && pageEnabled(entry.first) && entry.second->serves(device)) ||
                                 stationHoldsPage(entry.first));
        }
    }
}

void MainWindow::setStaffPages(bool production, bool develop)
{
    productionPageOn = production;
    developPageOn = develop;
}

bool MainWindow::stationHoldsPage(int pageId) const
{
    // Boards come and go all the time on a station's line: its page stays.
    return pageId == ProductionPage && ui->productionWidget->stationPanel()->isRunning();
}

void MainWindow::showInfoUnlessAbout()
{
    if (ui->leftWidget->checkedId() != AboutPage && !stationHoldsPage(ui->leftWidget->checkedId())) {
        ui->leftWidget->setCurrentPage(InfoPage);
    }
}

void MainWindow::hideDeviceButtons()
{
    for (int id : {MeasurementsPage, ProductionPage, ServicePage, DevelopPage}) {
        ui->leftWidget->setButtonVisible(id, stationHoldsPage(id));
    }
}

void MainWindow::showNotification(NotificationMessageType type, QString message)
{
    const QString icon = notificationIconResource(type);
    ui->notificationIconLabel->setPixmap(icon.isEmpty() ? QPixmap() : QIcon(icon).pixmap(32, 32));
    ui->notificationTextLabel->setText(message);

    const QString typeName = notificationTypeName(type);
    for (QWidget* w : {static_cast<QWidget*>(ui->notificationTextLabel), ui->notificationWidget}) {
        w->setProperty("Type", typeName);
        w->style()->unpolish(w);
        w->style()->polish(w);
    }
    ui->notificationWidget->show();
    // Every message gets its own six seconds, and the earliest of them hides the bar: a second message
    // shortly after a first is cut short rather than keeping the bar up for ever under a stream of them.
    // The timers are named children so that a test can see which one is due without timing the window.
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("notificationTimer"));
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &MainWindow::hideNotification);
    connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
    timer->start(kNotificationMs);
}

void MainWindow::hideNotification()
{
    ui->notificationWidget->hide();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    Settings* settings = Settings::instance();
    settings->saveWindowStates(windowState());
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        settings->saveGeometry(objectName(), saveGeometry());
    }
    // The store lives until process exit and would otherwise write the file only on its own schedule.
    settings->sync();
    progressDialog->dismiss();
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this) {
        if (event->type() == QEvent::WindowStateChange) {
            const Qt::WindowStates current = windowState();
            if (Settings::instance()->restoreWindowStates() != current) {
                Settings::instance()->saveWindowStates(current);
                emit windowStateChanged(current);
            }
        } else if (event->type() == QEvent::Show) {
            if (Settings::instance()->restoreWindowStates() & Qt::WindowMaximized) {
                QTimer::singleShot(kRestoreMaximizedDelayMs, this, &MainWindow::showMaximized);
                emit windowStateChanged(Qt::WindowMaximized);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
#ifdef Q_OS_WIN
    windowsframe::WindowInfo info;
    info.hwnd = reinterpret_cast<void*>(winId());
    info.horizontallyResizable = minimumWidth() != maximumWidth();
    info.verticallyResizable = minimumHeight() != maximumHeight();
    info.context = this;
    info.inTitleArea = [](void* context, int x, int y) {
        auto* window = static_cast<MainWindow*>(context);
        // Native coordinates are physical pixels; the widgets work in device-independent ones.
        const qreal ratio = window->devicePixelRatioF();
        return window->isInTitleArea(window->mapToGlobal(QPoint(qRound(x / ratio), qRound(y / ratio))));
    };
    if (windowsframe::handleMessage(info, message, result)) {
        return true;
    }
#endif
    return QMainWindow::nativeEvent(eventType, message, result);
}
