#include "devices/vectarisemitter.h"

#include "options/storageidcatalogue.h"

VectarisEmitter::VectarisEmitter(libusb_device* device, QObject* parent)
    : BaseDevice(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Emitter")), device, parent)
{
}

VectarisEmitter::~VectarisEmitter() = default;

QString VectarisEmitter::picture() const
{
    return QStringLiteral(":/images/vcg.png");
}

quint32 VectarisEmitter::usbId() const
{
    return 0x29520008;
}

QString VectarisEmitter::kindKey() const
{
    return QStringLiteral("emitter");
}

StorageIdCatalogue::Family VectarisEmitter::optionFamily() const
{
    return StorageIdCatalogue::Family::ControlUnit;
}

DeviceWidget* VectarisEmitter::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* VectarisEmitter::serviceWidget(QWidget* /*parent*/)
{
    return nullptr;
}

void VectarisEmitter::readDeviceOptions()
{
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
}
