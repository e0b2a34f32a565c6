#include "devices/updateonly.h"

#include "options/storageidcatalogue.h"

UpdateOnly::UpdateOnly(libusb_device* device, QObject* parent)
    : BaseDevice(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Pcb for Update")), device, parent)
{
}

UpdateOnly::~UpdateOnly() = default;

QString UpdateOnly::picture() const
{
    return QStringLiteral(":/images/pcb.jpg");
}

quint32 UpdateOnly::usbId() const
{
    return 0x2952FFFF;
}

QString UpdateOnly::kindKey() const
{
    return QStringLiteral("update-only");
}

StorageIdCatalogue::Family UpdateOnly::optionFamily() const
{
    return StorageIdCatalogue::Family::UpdateOnly;
}

DeviceWidget* UpdateOnly::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* UpdateOnly::serviceWidget(QWidget* /*parent*/)
{
    return nullptr;
}

void UpdateOnly::readDeviceOptions()
{
    // An update-only board knows no options.
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
}
