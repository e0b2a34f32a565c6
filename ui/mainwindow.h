#pragma once

#include "core/baselogger.h"
#include "devices/notificationmessagetype.h"
#include "usb/usbbusdeviceaddress.h"

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPair>
#include <QPointer>

#include <memory>

namespace Ui {
class MainWindow;
}
class BaseDevice;
class DevicePage;
class LinuxFrame;
class MainSidebarWidget;
class ProgressDialog;
class QLabel;
class Recorder;
class UsbManager;
class TopBarWidget;

// The single top-level window: a frameless frame with top bar, sidebar, notification bar and the page
// stack. It keeps its geometry and state in the settings store and hands the connected instrument's
// device object (not owned; the USB manager owns it) to the pages. GUI thread only.
class MainWindow : public QMainWindow, public BaseLogger
{
    Q_OBJECT

public:
    enum PageId
    {
        AboutPage = 0,
        InfoPage = 1,
        MeasurementsPage = 2,
        ServicePage = 3,
        ProductionPage = 4,
        DevelopPage = 5,
        HistoryPage = 6,
    };
    static constexpr int kNotificationMs = 6000;
    static constexpr int kRestoreMaximizedDelayMs = 250;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The parts of the window, for the launcher and the tests.
    MainSidebarWidget* sidebar() const;
    TopBarWidget* topBar() const;
    ProgressDialog* progress() const { return progressDialog; }
    QWidget* page(int pageId) const { return pages.value(pageId); }
    QWidget* currentPage() const;
    QWidget* notificationBar() const;

    // Which of the hidden pages serve the connected device and show their sidebar buttons. Service
    // technicians see neither; production staff get the Production page, developers both.
    void setStaffPages(bool production, bool develop);
    bool productionPageEnabled() const { return productionPageOn; }
    bool developPageEnabled() const { return developPageOn; }

    // True when the global point is on the title area of the top bar (the window is dragged by it).
    bool isInTitleArea(const QPoint& globalPos) const;

    // Text and icon resource of a notification type; empty for values outside the enumeration.
    static QString notificationTypeName(NotificationMessageType type);
    static QString notificationIconResource(NotificationMessageType type);

    // Follows the discovery: arrivals and departures, and what keeps an instrument from being used.
    void followUsbManager(UsbManager* manager);
    // Shows the records' state while events wait for the database, and a recording failure as a
    // notification.
    void followRecorder(Recorder* recorder);

signals:
    void windowStateChanged(Qt::WindowStates states);

public slots:
    void setCurrentPage(int pageId);
    void usbDeviceAdded(UsbBusDeviceAddress deviceAddress);
    void usbDeviceRemoved(UsbBusDeviceAddress deviceAddress);
    void usbDeviceConnected();
    void usbDeviceDisconnected();
    void showNotification(NotificationMessageType type, QString message);
    // An instrument on the bus that cannot be used: said in the notification bar (once per plug, the
    // discovery sees to that).
    void usbConnectionProblem(UsbBusDeviceAddress address, QString message);
    void usbConnectionStatusChanged(QString status);
    void hideNotification();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private slots:
    void deviceBusy();

private:
    void updateSidebar(BaseDevice* device);
    bool stationHoldsPage(int pageId) const;
    void showInfoUnlessAbout();
    void hideDeviceButtons();
    // Hands `device` (null: none) to every device page, in the order of devicePages.
    void showDevice(BaseDevice* device);
    bool pageEnabled(int pageId) const;

    std::unique_ptr<Ui::MainWindow> ui;
    QMap<int, QWidget*> pages;                  // page id -> page in the stack (children of the stack)
    QList<QPair<int, DevicePage*>> devicePages; // the pages that show the device, by page id
    ProgressDialog* progressDialog = nullptr;   // child of this window
    // The device objects the discovery announced, by address: a removal names only the address, and
    // the object may be gone by then.
    QMap<UsbBusDeviceAddress, QPointer<BaseDevice>> devicesByAddress;
    LinuxFrame* frame = nullptr;     // child of this window; null on Windows
    QLabel* recordsStatus = nullptr; // child of this window; shown while service events wait
    bool productionPageOn = false;
    bool developPageOn = false;
};
