#pragma once

#include "core/settings.h"
#include "devicebusfixture.h"
#include "tests/ui/uitestenvironment.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "ui/servicewidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>

// The main window following the real discovery, as in the field: pages are handed each device the
// discovery adds, and every notification of every device object is kept (a restart brings a new one).
class WindowFixture : public DeviceBusFixture
{
public:
    void SetUp() override
    {
        DeviceBusFixture::SetUp();
        open();
        // The manager and its devices may outlive this fixture; the context ends both connections with it.
        listening = std::make_unique<QObject>();
        QObject::connect(manager(), &UsbManager::deviceAdded, listening.get(),
                         [this](UsbBusDeviceAddress address) {
                             if (auto device = deviceAt(address)) {
                                 QObject::connect(device.data(), &BaseDevice::notify, listening.get(),
                                                  [this](NotificationMessageType type, QString text) {
                                                      notes << qMakePair(type, text);
                                                  });
                             }
                         });
    }

    void TearDown() override
    {
        closeDialogs();
        listening.reset();
        manager()->deinit();
        window.reset();
        DeviceBusFixture::TearDown();
    }

    // Closes every open dialog, message boxes included.
    static void closeDialogs()
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QDialog*>(top)) {
                box->done(0);
            }
        }
    }

    template <typename Page = QWidget> Page* page(int id) const
    {
        return static_cast<Page*>(window->page(id));
    }
    ServiceWidget* service() const { return page<ServiceWidget>(MainWindow::ServicePage); }

    // Polls once and waits until the Service page serves a settled device other than `previous`.
    BaseDevice* served(const QPointer<BaseDevice>& previous = nullptr)
    {
        manager()->pollNow();
        const bool ready = QTest::qWaitFor(
            [&] {
                BaseDevice* device = service()->device();
                return device && device != previous && device->isConnected() &&
                       device->pendingJobCount() == 0 && !device->softwareVersion().isEmpty();
            },
            kTimeoutMs);
        return ready ? service()->device() : nullptr;
    }

    // The same, and opens the Service page.
    BaseDevice* attach(const QPointer<BaseDevice>& previous = nullptr)
    {
        BaseDevice* device = served(previous);
        if (device) {
            window->sidebar()->setCurrentPage(MainWindow::ServicePage);
        }
        return device;
    }

    bool waitDetached()
    {
        return QTest::qWaitFor([&] { return manager()->addresses().isEmpty() && !service()->device(); },
                               kTimeoutMs);
    }

    // The open dialog of `in` (the Service page unless given) with that object name (null if none).
    template <typename T> T* dialog(const char* name, QWidget* in = nullptr) const
    {
        T* found = nullptr;
        QWidget* parent = in ? in : service();
        static_cast<void>(QTest::qWaitFor(
            [&] { return (found = parent->findChild<T*>(name)) && found->isVisible(); }, 20000));
        return found && found->isVisible() ? found : nullptr;
    }

    void answer(QMessageBox* box, QMessageBox::StandardButton button) { box->button(button)->click(); }

    bool noted(const QString& text) const
    {
        return std::any_of(notes.cbegin(), notes.cend(),
                           [&](const auto& note) { return note.second.contains(text); });
    }

    std::unique_ptr<MainWindow> window;
    QList<QPair<NotificationMessageType, QString>> notes;

protected:
    std::unique_ptr<QObject> listening;

    void open(bool staffPages = false)
    {
        window = std::make_unique<MainWindow>();
        if (staffPages) {
            window->setStaffPages(true, true);
        }
        window->followUsbManager(manager());
        startDiscovery(100); // a restarted instrument is found again without waiting 5 s
        window->show();
    }
};
