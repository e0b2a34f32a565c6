#pragma once

#include <QByteArray>
#include <QPointer>
#include <QWidget>

class BaseDevice;

// Common base of every panel a device kind contributes to the production or service page, so that a
// page can host any panel without knowing its kind. The panel does not own its device.
// Emits widgetShow()/widgetHide() when it is shown or hidden, so that panels can run work (such as
// polling) only while visible.
class DeviceWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceWidget(QWidget* parent = nullptr);

    // Take `device`, or with null give the current one up.
    virtual void setDevice(BaseDevice* device) = 0;
    virtual void setDeviceConnected(bool connected) = 0;
    // Call setDeviceConnected(true) / setDeviceConnected(false).
    virtual void onDeviceConnected() = 0;
    virtual void onDeviceDisconnected() = 0;

    BaseDevice* device() const;

signals:
    void widgetShow();
    void widgetHide();

protected slots:
    // Called for every option value the device reports while attached; the base ignores it.
    virtual void onDeviceOptionChanged(uint optionId, QByteArray value);

protected:
    // The common part of setDevice that every panel runs first. With a device: remember it, report its
    // connected state, and follow its connected(), disconnected() and deviceOptionChanged() signals.
    // With null: report the disconnected state, drop every connection from the old device to this panel
    // and forget it.
    void attachDevice(BaseDevice* device);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<BaseDevice> m_device;
};
