#include "devices/instrumentkind.h"

#include <QCoreApplication>

const std::vector<InstrumentKind>& InstrumentKind::all()
{
    using Family = StorageIdCatalogue::Family;
    // A new kind with no behaviour of its own is one row here (plus its picture in the resources).
    static const std::vector<InstrumentKind> kinds = {
        {0x1E843000, 0x1E843000, "control-unit", QT_TRANSLATE_NOOP("BaseDevice", "Control Unit"),
         ":/images/controlunit.png", "tymbrel+ control unit found!", Family::ControlUnit, Model::ControlUnit,
         Panel::ControlUnit, Panel::ControlUnit},
        {0x1E843001, 0x1E843001, "acoustic-sensor", QT_TRANSLATE_NOOP("BaseDevice", "Tymbrel Sensor"),
         ":/images/tymbrel_sensor.png", "tymbrel+ sensor found!", Family::AcousticSensor,
         Model::AcousticSensor, Panel::AcousticSensor, Panel::AcousticSensor},
        {0x2952000B, 0x1E843001, "acoustic-sensor2", QT_TRANSLATE_NOOP("BaseDevice", "Tymbrel Sensor2"),
         ":/images/tymbrel_sensor_gray.png", "tymbrel2+ sensor found!", Family::AcousticSensor,
         Model::AcousticSensor, Panel::AcousticSensor, Panel::AcousticSensor},
        {0x29520004, 0x29520004, "locator-sensor", QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Sensor"),
         ":/images/vectaris_sensor.png", "Vectaris Sensor found!", Family::LocatorSensor, Model::Generic,
         Panel::Locator, Panel::None},
        {0x29520007, 0x29520007, "mini-antenna", QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Mini Antenna"),
         ":/images/mna.png", "Vectaris Mini Antenna found!", Family::LocatorSensor, Model::Generic,
         Panel::Locator, Panel::None},
        {0x29520008, 0x29520008, "emitter", QT_TRANSLATE_NOOP("BaseDevice", "Vectaris Emitter"),
         ":/images/vcg.png", "Vectaris Emitter found!", Family::ControlUnit, Model::Generic, Panel::Emitter,
         Panel::None},
        {0x2952FFFF, 0x2952FFFF, "update-only", QT_TRANSLATE_NOOP("BaseDevice", "Pcb for Update"),
         ":/images/pcb.jpg", "Updateonly found!", Family::UpdateOnly, Model::Generic, Panel::UpdateOnly,
         Panel::None},
    };
    return kinds;
}

const InstrumentKind* InstrumentKind::find(quint32 usbId)
{
    for (const InstrumentKind& kind : all()) {
        if (kind.usbId == usbId) {
            return &kind;
        }
    }
    return nullptr;
}

const InstrumentKind* InstrumentKind::findKey(const QString& key)
{
    for (const InstrumentKind& kind : all()) {
        if (key == QLatin1String(kind.key)) {
            return &kind;
        }
    }
    return nullptr;
}
