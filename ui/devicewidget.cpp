#include "ui/devicewidget.h"

#include "devices/basedevice.h"

#include <QEvent>

DeviceWidget::DeviceWidget(QWidget* parent) : QWidget(parent)
{
    installEventFilter(this);
}

BaseDevice* DeviceWidget::device() const
{
    return m_device;
}

void DeviceWidget::onDeviceOptionChanged(uint, QByteArray) {}

void DeviceWidget::attachDevice(BaseDevice* device)
{
    // Both directions: the device's signals to this panel and the panel's requests to the device.
    if (m_device && m_device != device) {
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(this, nullptr, m_device, nullptr);
    }
    if (!device) {
        onDeviceDisconnected();
        m_device = nullptr;
        return;
    }
    m_device = device;
    setDeviceConnected(device->isConnected());
    connect(device, &BaseDevice::disconnected, this, &DeviceWidget::onDeviceDisconnected,
            Qt::UniqueConnection);
    connect(device, &BaseDevice::connected, this, &DeviceWidget::onDeviceConnected, Qt::UniqueConnection);
    connect(device, &BaseDevice::deviceOptionChanged, this, &DeviceWidget::onDeviceOptionChanged,
            Qt::UniqueConnection);
}

bool DeviceWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this) {
        if (event->type() == QEvent::Show) {
            emit widgetShow();
        } else if (event->type() == QEvent::Hide) {
            emit widgetHide();
        }
    }
    return QWidget::eventFilter(watched, event);
}
