#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// Where an instrument sits on the USB: (bus number, device address) as libusb reports them. Ordered by
// bus, then address; the key of the discovery's table; registered as the meta-type "UsbBusDeviceAddress"
// so that it travels in signals.
class UsbBusDeviceAddress
{
public:
    UsbBusDeviceAddress() = default;
    UsbBusDeviceAddress(quint8 bus, quint8 address) : m_bus(bus), m_address(address) {}

    quint8 bus() const { return m_bus; }
    quint8 address() const { return m_address; }

    // "bus 1, device 4"
    QString toString() const;

    // Registers the meta-type; called by the discovery before the first signal carries an address.
    static int registerMetaType();

    friend bool operator==(const UsbBusDeviceAddress& a, const UsbBusDeviceAddress& b)
    {
        return a.m_bus == b.m_bus && a.m_address == b.m_address;
    }
    friend bool operator!=(const UsbBusDeviceAddress& a, const UsbBusDeviceAddress& b) { return !(a == b); }
    friend bool operator<(const UsbBusDeviceAddress& a, const UsbBusDeviceAddress& b)
    {
        return a.m_bus != b.m_bus ? a.m_bus < b.m_bus : a.m_address < b.m_address;
    }

private:
    quint8 m_bus = 0;
    quint8 m_address = 0;
};

inline uint qHash(const UsbBusDeviceAddress& key, uint seed = 0)
{
    return ::qHash((uint(key.bus()) << 8) | key.address(), seed);
}

Q_DECLARE_METATYPE(UsbBusDeviceAddress)
