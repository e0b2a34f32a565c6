#include "usb/usbbusdeviceaddress.h"

QString UsbBusDeviceAddress::toString() const
{
    return QStringLiteral("bus %1, device %2").arg(m_bus).arg(m_address);
}

int UsbBusDeviceAddress::registerMetaType()
{
    static const int id = qRegisterMetaType<UsbBusDeviceAddress>("UsbBusDeviceAddress");
    return id;
}
