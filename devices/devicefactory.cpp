#include "devices/devicefactory.h"

#include "devices/controlunit.h"
#include "devices/genericdevice.h"
#include "devices/instrumentkind.h"
#include "devices/tymbrelsensor.h"
#include "usb/usbmanager.h"

#include <memory>

UsbInstrument* DeviceFactory::create(quint32 usbId, libusb_device* device, QObject* parent)
{
    const InstrumentKind* kind = InstrumentKind::find(usbId);
    if (!kind) {
        return nullptr;
    }
    switch (kind->model) {
    case InstrumentKind::Model::ControlUnit:
        return new ControlUnit(*kind, device, parent);
    case InstrumentKind::Model::AcousticSensor:
        return new TymbrelSensor(*kind, device, parent);
    case InstrumentKind::Model::Generic:
        break;
    }
    return new GenericDevice(*kind, device, parent);
}

const char* DeviceFactory::foundLine(quint32 usbId) const
{
    const InstrumentKind* kind = InstrumentKind::find(usbId);
    return kind ? kind->foundLine : nullptr;
}

void DeviceFactory::install()
{
    UsbManager::instance()->setInstrumentFactory(std::make_unique<DeviceFactory>());
}

QString DeviceFactory::kindKey(quint32 usbId)
{
    const InstrumentKind* kind = InstrumentKind::find(usbId);
    return kind ? QString::fromLatin1(kind->key) : QString();
}
