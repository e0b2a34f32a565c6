#include "devices/vectarissensor.h"

#include "options/storageidcatalogue.h"

VectarisSensor::VectarisSensor(libusb_device* device, QObject* parent)
    : BaseDevice(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Sensor")), device, parent)
{
}

VectarisSensor::~VectarisSensor() = default;

QString VectarisSensor::picture() const
{
    return QStringLiteral(":/images/vectaris_sensor.png");
}

quint32 VectarisSensor::usbId() const
{
    return 0x29520004;
}

QString VectarisSensor::kindKey() const
{
    return QStringLiteral("locator-sensor");
}

StorageIdCatalogue::Family VectarisSensor::optionFamily() const
{
    return StorageIdCatalogue::Family::LocatorSensor;
}

DeviceWidget* VectarisSensor::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* VectarisSensor::serviceWidget(QWidget* /*parent*/)
{
    return nullptr;
}

void VectarisSensor::readDeviceOptions()
{
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
}
