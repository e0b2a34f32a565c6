#pragma once

#include "devices/basedevice.h"

// The Vectaris emitter. Reads the general, control-unit and user-settings options; no service panel.
// Panels: created on first request through the panel factory the user interface installs.
class VectarisEmitter : public BaseDevice
{
    Q_OBJECT

public:
    VectarisEmitter(libusb_device* device, QObject* parent = nullptr);
    ~VectarisEmitter() override;

    QString picture() const override;
    quint32 usbId() const override;
    QString kindKey() const override;
    StorageIdCatalogue::Family optionFamily() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

private:
};
