#include "devices/vectarisminiantenna.h"

#include "options/storageidcatalogue.h"

VectarisMiniAntenna::VectarisMiniAntenna(libusb_device* device, QObject* parent)
    : BaseDevice(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Mini Antenna")), device,
                 parent)
{
}

VectarisMiniAntenna::~VectarisMiniAntenna() = default;

QString VectarisMiniAntenna::picture() const
{
    return QStringLiteral(":/images/mna.png");
}

quint32 VectarisMiniAntenna::usbId() const
{
    return 0x29520007;
}

QString VectarisMiniAntenna::kindKey() const
{
    return QStringLiteral("mini-antenna");
}

StorageIdCatalogue::Family VectarisMiniAntenna::optionFamily() const
{
    return StorageIdCatalogue::Family::LocatorSensor;
}

DeviceWidget* VectarisMiniAntenna::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* VectarisMiniAntenna::serviceWidget(QWidget* /*parent*/)
{
    return nullptr;
}

void VectarisMiniAntenna::readDeviceOptions()
{
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
}
