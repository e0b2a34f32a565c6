#pragma once

#include "ui/devicepage.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace Ui {
class InfoWidget;
}
class BaseDevice;
struct DeviceIdentity;

// The Info page: picture, name, serial and firmware version of the connected instrument, or
// "No device connected!" with what the tool waits for (or what stands in the way) while there is none.
// Follows the device it was handed (not owned) until it gets null or another device.
class InfoWidget : public QWidget, public DevicePage
{
    Q_OBJECT

public:
    static constexpr int kPictureSize = 400;

    explicit InfoWidget(QWidget* parent = nullptr);
    ~InfoWidget() override;

    void setDevice(BaseDevice* device) override;

public slots:
    void deviceConnected();
    void deviceDisconnected();
    void setName(const QString& name);
    void setPixmap(const QPixmap& pixmap);
    // The device's picture by resource path; an empty path clears it.
    void setPicture(const QString& resource);
    void setSerial(const QString& serial);
    void setSoftwareVersion(const QString& version);
    // Serial and firmware version of `identity`.
    void showIdentity(const DeviceIdentity& identity);
    // What the tool waits for, or what keeps an attached instrument from being used; shown while no
    // instrument is connected.
    void setConnectionStatus(const QString& status);

private:
    std::unique_ptr<Ui::InfoWidget> ui;
    QPointer<BaseDevice> m_device;
};
