#pragma once

#include "devices/basedevice.h"

// The Vectaris locator sensor. Reads the general and locator options; has no service panel.
// Panels: created on first request once the user interface provides them; null until then.
class VectarisSensor : public BaseDevice
{
    Q_OBJECT

public:
    VectarisSensor(libusb_device* device, QObject* parent = nullptr);
    ~VectarisSensor() override;

    QPixmap pixmap() const override;
    quint32 usbId() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

protected:
    void handleJobFinished(AbstractJob* job) override;

private:
    DeviceWidget* m_productionWidget = nullptr;
};
