#pragma once

// The main window with the real USB manager and simulated instruments on the emulated bus, as the Service
// page tests need it: attach an instrument, open the Service page, answer its dialogs, build firmware
// files, and record every notification of every device object (a reboot brings a new one).
#include "core/languageloader.h"
#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/devicefactory.h"
#include "firmware/firmwarecipher.h"
#include "sim/usbfs/simusbfixture.h"
#include "tools/firmwarepacker.h"
#include "ui/mainsidebarwidget.h"
#include "ui/mainwindow.h"
#include "ui/servicewidget.h"
#include "uitestenvironment.h"
#include "usb/usbmanager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

class ServicePageFixture : public SimUsbFixture
{
public: // table-driven cases reach the helpers through a reference to the fixture
    static constexpr int kTimeoutMs = 30000;
    using SimUsbFixture::bus;

    static void SetUpTestSuite() { setUpUiTestEnvironment(); }
    bool initialiseLibusb() const override { return false; } // the USB manager starts libusb

    void SetUp() override
    {
        SimUsbFixture::SetUp();
        window = std::make_unique<MainWindow>();
        manager = UsbManager::instance();
        DeviceFactory::install();
        window->followUsbManager(manager);
        manager->init();
        manager->setPollInterval(100); // a rebooted instrument is found again without waiting 5 s
        QObject::connect(manager, &UsbManager::deviceAdded, window.get(),
                         [this](UsbBusDeviceAddress address) {
                             if (auto* device = qobject_cast<BaseDevice*>(manager->device(address).data())) {
                                 QObject::connect(device, &BaseDevice::notify, window.get(),
                                                  [this](NotificationMessageType type, QString text) {
                                                      notes << qMakePair(type, text);
                                                  });
                             }
                         });
        window->show();
    }

    void TearDown() override
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QDialog*>(top)) {
                box->done(0);
            }
        }
        manager->deinit();
        window.reset();
        SimUsbFixture::TearDown();
    }

    // The window anew in `language`, with every page, at its default size; the bus and its instruments
    // stay, the device objects and their panels are made anew.
    void reopenIn(const QString& language)
    {
        manager->deinit();
        window.reset();
        EXPECT_TRUE(LanguageLoader::install(language));
        window = std::make_unique<MainWindow>();
        window->setStaffPages(true, true);
        window->followUsbManager(manager);
        manager->init();
        manager->setPollInterval(100);
        window->show();
    }

    ServiceWidget* service() const
    {
        return static_cast<ServiceWidget*>(window->page(MainWindow::ServicePage));
    }

    template <typename T = QWidget> T* child(QWidget* parent, const char* name) const
    {
        return parent->findChild<T*>(QLatin1String(name));
    }

    // Waits until the Service page serves a connected device other than `previous` that has finished its
    // start-up reads, and opens the page.
    BaseDevice* attach(const QPointer<BaseDevice>& previous = nullptr)
    {
        manager->pollNow();
        const bool ready = QTest::qWaitFor(
            [&] {
                BaseDevice* device = service()->device();
                return device && device != previous && device->isConnected() &&
                       device->pendingJobCount() == 0 && !device->softwareVersion().isEmpty();
            },
            kTimeoutMs);
        if (!ready) {
            return nullptr;
        }
        window->sidebar()->setCurrentPage(MainWindow::ServicePage);
        return service()->device();
    }

    bool waitIdle(BaseDevice* device, int timeoutMs = kTimeoutMs)
    {
        return QTest::qWaitFor([&] { return !device || device->pendingJobCount() == 0; }, timeoutMs);
    }

    bool waitDetached()
    {
        return QTest::qWaitFor([&] { return manager->addresses().isEmpty() && !service()->device(); },
                               kTimeoutMs);
    }

    // The open dialog of the page with that object name (null if none).
    template <typename T> T* dialog(const char* name) const
    {
        T* found = nullptr;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (found = service()->findChild<T*>(QLatin1String(name))) && found->isVisible(); },
            20000));
        return found && found->isVisible() ? found : nullptr;
    }

    void answer(QMessageBox* box, QMessageBox::StandardButton button) { box->button(button)->click(); }

    // A firmware file whose image runs as `version` on the simulated instruments.
    QString firmwareFile(const QString& version, const QStringList& hardware, bool develop = false,
                         int imageSize = 3000)
    {
        QByteArray image = QByteArray(SimInstrument::kVersionTag) + version.toLatin1() + '\0';
        while (image.size() < imageSize) {
            image.append(char(image.size() * 7));
        }
        FirmwareInfo info;
        info.firmwareVersion = version;
        info.developVersion = develop;
        info.changelog = QStringLiteral("Changes of ") + version;
        info.type = QStringLiteral("Tymbrel");
        info.supportedHardware = hardware;
        info.createdAt = QStringLiteral("2026-12-01");
        const QString path =
            files.filePath(QStringLiteral("fw-%1-%2.firmware").arg(version, hardware.join('_')));
        EXPECT_TRUE(packer.save(
            path,
            packer.packFirmware(image, info, FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash)));
        return path;
    }

    // Chooses `path` with the page's "..." dialog.
    void chooseFirmware(const QString& path)
    {
        child<QAbstractButton>(service(), "selectFirmwareButton")->click();
        auto* fileDialog = dialog<QFileDialog>("selectFirmwareDialog");
        ASSERT_NE(fileDialog, nullptr);
        fileDialog->selectFile(path);
        static_cast<QDialog*>(fileDialog)->accept(); // QFileDialog hides accept()
    }

    bool noted(const QString& text) const
    {
        for (const auto& note : notes) {
            if (note.second.contains(text)) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<MainWindow> window;
    UsbManager* manager = nullptr;
    QList<QPair<NotificationMessageType, QString>> notes;
    // The application name holds a '/', so the default template would name a missing directory.
    QTemporaryDir files{QDir::tempPath() + QStringLiteral("/service-page-XXXXXX")};
    FirmwarePacker packer{FirmwareCipher::kBuiltInKey};
};
