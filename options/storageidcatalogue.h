#pragma once

#include <QList>
#include <QMetaEnum>
#include <QString>

// Walks the storage-id enumerations through the meta-object system: by enumeration name, in
// declaration order, and from an id back to its key name.
class StorageIdCatalogue
{
public:
    // Which tables an instrument kind knows besides the general one.
    enum class Family
    {
        UpdateOnly,     // knows no option at all
        ControlUnit,    // control unit and emitter: ControlUnit::Options, then ControlUnit::UserSettings
        AcousticSensor, // both acoustic sensor generations: SensorUnit::Options
        LocatorSensor   // locator sensor and mini antenna: VectarisUnit::Options
    };

    // The enumeration named `enumName` ("Options", "UserSettings") of a holder class; invalid if absent.
    static QMetaEnum enumeration(const QMetaObject& holder, const char* enumName);
    // Every value of that enumeration in declaration order, terminators and e_sid_None included.
    static QList<quint32> ids(const QMetaObject& holder, const char* enumName);
    // The key whose value is `id` within that one enumeration; empty when no key has it.
    static QString keyName(const QMetaObject& holder, const char* enumName, quint32 id);

    // All ids of an instrument kind: the general table followed by the kind's own tables.
    static QList<quint32> deviceIds(Family family);
    // The key name of `id` as the given kind understands it; empty when no table names it.
    static QString name(Family family, quint32 id);
};
