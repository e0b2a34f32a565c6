#pragma once

#include "devices/basedevice.h"

// A bare circuit board that only takes firmware updates. Reads its identity but no options.
// Panels: created on first request through the panel factory the user interface installs.
class UpdateOnly : public BaseDevice
{
    Q_OBJECT

public:
    UpdateOnly(libusb_device* device, QObject* parent = nullptr);
    ~UpdateOnly() override;

    QString picture() const override;
    quint32 usbId() const override;
    QString kindKey() const override;
    StorageIdCatalogue::Family optionFamily() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

private:
};
