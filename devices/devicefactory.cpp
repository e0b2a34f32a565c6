#include "devices/devicefactory.h"

#include "devices/controlunit.h"
#include "devices/tymbrelsensor.h"
#include "devices/tymbrelsensor2.h"
#include "devices/updateonly.h"
#include "devices/vectarisemitter.h"
#include "devices/vectarisminiantenna.h"
#include "devices/vectarissensor.h"
#include "usb/usbmanager.h"

#include <memory>

UsbInstrument* DeviceFactory::create(quint32 usbId, libusb_device* device, QObject* parent)
{
    switch (usbId) {
    case 0x1E843000:
        return new ControlUnit(device, parent);
    case 0x1E843001:
        return new TymbrelSensor(device, parent);
    case 0x29520004:
        return new VectarisSensor(device, parent);
    case 0x29520007:
        return new VectarisMiniAntenna(device, parent);
    case 0x29520008:
        return new VectarisEmitter(device, parent);
    case 0x2952000B:
        return new TymbrelSensor2(device, parent);
    case 0x2952FFFF:
        return new UpdateOnly(device, parent);
    default:
        return nullptr;
    }
}

void DeviceFactory::install()
{
    UsbManager::instance()->setInstrumentFactory(std::make_unique<DeviceFactory>());
}

QString DeviceFactory::kindKey(quint32 usbId)
{
    switch (usbId) {
    case 0x1E843000:
        return QStringLiteral("control-unit");
    case 0x1E843001:
        return QStringLiteral("acoustic-sensor");
    case 0x29520004:
        return QStringLiteral("locator-sensor");
    case 0x29520007:
        return QStringLiteral("mini-antenna");
    case 0x29520008:
        return QStringLiteral("emitter");
    case 0x2952000B:
        return QStringLiteral("acoustic-sensor2");
    case 0x2952FFFF:
        return QStringLiteral("update-only");
    default:
        return QString();
    }
}
