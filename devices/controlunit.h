#pragma once

#include "devices/basedevice.h"

// The Tymbrel control unit. Reads the general, control-unit and user-settings options.
// Its measurement-series operations are added by the measurements layer.
// Panels: created on first request once the user interface provides them; null until then.
class ControlUnit : public BaseDevice
{
    Q_OBJECT

public:
    ControlUnit(libusb_device* device, QObject* parent = nullptr);
    ~ControlUnit() override;

    QPixmap pixmap() const override;
    quint32 usbId() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

protected:
    void handleJobFinished(AbstractJob* job) override;

private:
    DeviceWidget* m_productionWidget = nullptr;
    DeviceWidget* m_serviceWidget = nullptr;
};
