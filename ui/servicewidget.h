#pragma once

#include "core/baselogger.h"
#include "ui/devicepage.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class ServiceWidget;
}
class BaseDevice;
class DeviceWidget;

// Page "serviceWidget" of the main window's page stack: firmware update, factory reset, the device log
// (its section stays hidden), the instrument's settings snapshots and the device kind's own service panel. It
// follows the device it was handed (not owned) until it gets null; the main window does the handing over.
//
// Dialogs are opened window-modal and answered asynchronously. Each remembers the device it was opened
// for and acts only if that very device is still the page's device when the user answers, so that a
// reset meant for one instrument never reaches the next one plugged in.
class ServiceWidget : public QWidget, public BaseLogger, public DevicePage
{
    Q_OBJECT

public:
    explicit ServiceWidget(QWidget* parent = nullptr);
    ~ServiceWidget() override;

    BaseDevice* device() const;
    // The device kind's panel while one is shown, otherwise null.
    DeviceWidget* servicePanel() const;

signals:
    void updateFirmware(QString file);
    void downloadLog();
    void clearLog();
    void factoryReset();

public slots:
    void setDevice(BaseDevice* device) override;
    void resetServiceWidget();
    void saveLogData(QString logs);

private slots:
    void selectFirmware();
    void requestFirmwareUpdate();
    void downloadLogs();
    void deleteLogs();
    void requestFactoryReset();
    void restoreSnapshot();
    void restoreSnapshotFile();
    // Lists the shown instrument's snapshots, newest first.
    void refreshSnapshots();
    void set_FirmwarePathToCombobox();
    void onComboBoxCurrentTextChanged(const QString& path);
    // The device went away: its panel and any open file dialog go too. Safe to run more than once.
    void releaseDeviceWidgets();

private:
    void showFirmwareFile(const QString& path);
    // Warning box with Yes and Cancel (Cancel the default); `onYes` runs only when the user chose Yes
    // and the device the box was opened for is still this page's device.
    void confirm(const QString& objectName, const QString& text, std::function<void()> onYes);
    bool writeLogFile(const QString& fileName, const QString& logs);

    std::unique_ptr<Ui::ServiceWidget> ui;
    QPointer<BaseDevice> m_device;
    QPointer<DeviceWidget> m_panel;
};
