#pragma once

#include "devices/basedevice.h"

// The Vectaris mini antenna. Reads the general and locator options; has no service panel.
// Panels: created on first request through the panel factory the user interface installs.
class VectarisMiniAntenna : public BaseDevice
{
    Q_OBJECT

public:
    VectarisMiniAntenna(libusb_device* device, QObject* parent = nullptr);
    ~VectarisMiniAntenna() override;

    QString picture() const override;
    quint32 usbId() const override;
    QString kindKey() const override;
    StorageIdCatalogue::Family optionFamily() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

private:
};
