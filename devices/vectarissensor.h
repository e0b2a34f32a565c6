#pragma once

#include "devices/basedevice.h"

// The Vectaris locator sensor. Reads the general and locator options; has no service panel.
// Panels: created on first request through the panel factory the user interface installs.
class VectarisSensor : public BaseDevice
{
    Q_OBJECT

public:
    VectarisSensor(libusb_device* device, QObject* parent = nullptr);
    ~VectarisSensor() override;

    QString picture() const override;
    quint32 usbId() const override;
    QString kindKey() const override;
    StorageIdCatalogue::Family optionFamily() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

private:
};
