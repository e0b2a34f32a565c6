#pragma once

#include "devices/tymbrelsensor.h"

// The second-generation acoustic sensor: recognised by its own product id, otherwise the first
// generation with another name and picture (it reports the first generation's usbId()).
class TymbrelSensor2 : public TymbrelSensor
{
    Q_OBJECT

public:
    TymbrelSensor2(libusb_device* device, QObject* parent = nullptr);

    QString picture() const override;
    QString kindKey() const override;
};
