#include "devices/tymbrelsensor2.h"

TymbrelSensor2::TymbrelSensor2(libusb_device* device, QObject* parent)
    : TymbrelSensor(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Tymbrel Sensor2")), device, parent)
{
}

QString TymbrelSensor2::picture() const
{
    return QStringLiteral(":/images/tymbrel_sensor_gray.png");
}

QString TymbrelSensor2::kindKey() const
{
    return QStringLiteral("acoustic-sensor2");
}
