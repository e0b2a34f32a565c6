#include "devices/tymbrelsensor2.h"

TymbrelSensor2::TymbrelSensor2(libusb_device* device, QObject* parent)
    : TymbrelSensor(QStringLiteral("Tymbrel Sensor2"), device, parent)
{
}

QPixmap TymbrelSensor2::pixmap() const
{
    return QPixmap(QStringLiteral(":/images/tymbrel_sensor_gray.png"));
}
