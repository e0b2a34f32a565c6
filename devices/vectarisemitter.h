#pragma once

#include "devices/basedevice.h"

// The Vectaris emitter. Reads the general, control-unit and user-settings options; no service panel.
// Panels: created on first request once the user interface provides them; null until then.
class VectarisEmitter : public BaseDevice
{
    Q_OBJECT

public:
    VectarisEmitter(libusb_device* device, QObject* parent = nullptr);
    ~VectarisEmitter() override;

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
