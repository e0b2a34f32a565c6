#include "storageidcatalogue.h"

#include "storageids_controlunit.h"
#include "storageids_general.h"
#include "storageids_sensorunit.h"
#include "storageids_vectarisunit.h"

#include <limits>

namespace {
const char* const kOptions = "Options";
const char* const kUserSettings = "UserSettings";
} // namespace

QMetaEnum StorageIdCatalogue::enumeration(const QMetaObject& holder, const char* enumName)
{
    const int index = holder.indexOfEnumerator(enumName);
    return index < 0 ? QMetaEnum() : holder.enumerator(index);
}

QList<quint32> StorageIdCatalogue::ids(const QMetaObject& holder, const char* enumName)
{
    QList<quint32> result;
    const QMetaEnum keys = enumeration(holder, enumName);
    for (int i = 0; i < keys.keyCount(); ++i) {
        result.append(quint32(keys.value(i)));
    }
    return result;
}

QString StorageIdCatalogue::keyName(const QMetaObject& holder, const char* enumName, quint32 id)
{
    const QMetaEnum keys = enumeration(holder, enumName);
    // Every id of the catalogue lies below 0x80000000, so a larger one cannot name a key.
    if (!keys.isValid() || id > quint32(std::numeric_limits<int>::max())) {
        return QString();
    }
    return QString::fromLatin1(keys.valueToKey(int(id)));
}

QList<quint32> StorageIdCatalogue::deviceIds(Family family)
{
    if (family == Family::UpdateOnly) {
        return {};
    }
    QList<quint32> result = ids(StorageIDs_general::staticMetaObject, kOptions);
    switch (family) {
    case Family::ControlUnit:
        result += ids(StorageIDs_ControlUnit::staticMetaObject, kOptions);
        result += ids(StorageIDs_ControlUnit::staticMetaObject, kUserSettings);
        break;
    case Family::AcousticSensor:
        result += ids(StorageIDs_SensorUnit::staticMetaObject, kOptions);
        break;
    case Family::LocatorSensor:
        result += ids(StorageIDs_VectarisUnit::staticMetaObject, kOptions);
        break;
    case Family::UpdateOnly:
        break;
    }
    return result;
}

QString StorageIdCatalogue::name(Family family, quint32 id)
{
    QString key = keyName(StorageIDs_general::staticMetaObject, kOptions, id);
    if (!key.isEmpty()) {
        return key;
    }
    switch (family) {
    case Family::ControlUnit:
        key = keyName(StorageIDs_ControlUnit::staticMetaObject, kOptions, id);
        return key.isEmpty() ? keyName(StorageIDs_ControlUnit::staticMetaObject, kUserSettings, id) : key;
    case Family::AcousticSensor:
        return keyName(StorageIDs_SensorUnit::staticMetaObject, kOptions, id);
    case Family::LocatorSensor:
        return keyName(StorageIDs_VectarisUnit::staticMetaObject, kOptions, id);
    case Family::UpdateOnly:
        break;
    }
    return QString();
}
