#include "sim/simdefaults.h"

#include "options/storageids_controlunit.h"
#include "options/storageids_general.h"
#include "options/storageids_sensorunit.h"
#include "options/storageids_vectarisunit.h"

#include <QMetaEnum>

#include <cstring>
#include <functional>

namespace SimDefaults {
namespace {

Bytes int32(int32_t value)
{
    return SimProtocol::words({uint32_t(value)});
}

Bytes single(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return SimProtocol::words({bits});
}

Bytes text(const std::string& value)
{
    return Bytes(value.begin(), value.end());
}

bool namesStoredValue(const QByteArray& key)
{
    if (key == "e_sid_None") {
        return false;
    }
    // Terminators end in _Last; the sixteenth Bluetooth entry carries that suffix but is a real value.
    return !key.endsWith("_Last") || key == "e_sid_cuu_bluetooth_Device_Last";
}

// Every stored id of one enumeration with the value `valueFor` gives its key.
void appendEnumeration(OptionList& list, const QMetaObject& holder, const char* enumName,
                       const std::function<Bytes(const QByteArray& key, uint32_t id)>& valueFor)
{
    const QMetaEnum keys = holder.enumerator(holder.indexOfEnumerator(enumName));
    for (int i = 0; i < keys.keyCount(); ++i) {
        const QByteArray key(keys.key(i));
        if (namesStoredValue(key)) {
            const uint32_t id = uint32_t(keys.value(i));
            list.emplace_back(id, valueFor(key, id));
        }
    }
}

} // namespace

Bytes locatorCalibration(int32_t frequency, const float (&gains)[6], int32_t flags)
{
    Bytes value = int32(frequency);
    for (float gain : gains) {
        const Bytes word = single(gain);
        value.insert(value.end(), word.begin(), word.end());
    }
    const Bytes tail = int32(flags);
    value.insert(value.end(), tail.begin(), tail.end());
    return value;
}

OptionList general(const Identity& identity)
{
    OptionList list;
    appendEnumeration(list, StorageIDs_general::staticMetaObject, "Options",
                      [&identity](const QByteArray&, uint32_t id) -> Bytes {
                          switch (id) {
                          case PcbSerialNumber:
                              return text(identity.pcbSerial);
                          case DeviceType:
                              return text(identity.deviceType);
                          case HardwareRevision:
                              return text(identity.hardwareRevision);
                          case DeviceSerialNumber:
                              return text(identity.deviceSerial);
                          default:
                              return int32(0); // test results: all passed
                          }
                      });
    return list;
}

OptionList controlUnit()
{
    OptionList list;
    appendEnumeration(list, StorageIDs_ControlUnit::staticMetaObject, "Options",
                      [](const QByteArray& key, uint32_t) -> Bytes {
                          if (key.contains("Calibration_SheathFault")) {
                              return single(1.0f);
                          }
                          if (key == "e_sid_cu_HeadphoneLimiter_Threshold") {
                              return single(0.5f);
                          }
                          if (key == "e_sid_cu_HeadphoneLimiter_Max") {
                              return single(0.8f);
                          }
                          if (key == "e_sid_cu_Option_ActivityWatchdogTime") {
                              return int32(600);
                          }
                          if (key == "e_sid_cu_Option_MaxRebootCounter") {
                              return int32(3);
                          }
                          // English and German offered, everything else switched off.
                          if (key == "e_sid_cu_Option_Lang_English" || key == "e_sid_cu_Option_Lang_German" ||
                              key == "e_sid_cu_Option_Compass" || key == "e_sid_cu_Option_BNR") {
                              return int32(1);
                          }
                          return int32(0);
                      });
    appendEnumeration(list, StorageIDs_ControlUnit::staticMetaObject, "UserSettings",
                      [](const QByteArray& key, uint32_t) -> Bytes {
                          if (key.startsWith("e_sid_cuu_bluetooth_Device_")) {
                              return Bytes(); // no paired device
                          }
                          if (key.contains("SSCalibration_")) {
                              return single(1.0f);
                          }
                          if (key.contains("Loudness")) {
                              return int32(5);
                          }
                          return int32(0);
                      });
    return list;
}

OptionList acousticSensor()
{
    OptionList list;
    appendEnumeration(list, StorageIDs_SensorUnit::staticMetaObject, "Options",
                      [](const QByteArray& key, uint32_t) -> Bytes {
                          if (key.contains("_sp_Calibration_")) {
                              return single(1.0f);
                          }
                          if (key == "e_sid_su_TouchProtectThreshold") {
                              return int32(int32_t(1100u * SimProtocol::CdcRawPerStep));
                          }
                          if (key == "e_sid_su_TouchProtectRangeMin") {
                              return int32(500);
                          }
                          if (key == "e_sid_su_TouchProtectRangeMax") {
                              return int32(3500);
                          }
                          if (key == "e_sid_su_TouchProtectOffset") {
                              return int32(100);
                          }
                          if (key == "e_sid_su_HeadphoneLimiter_Threshold") {
                              return single(0.5f);
                          }
                          if (key == "e_sid_su_HeadphoneLimiter_Max") {
                              return single(0.8f);
                          }
                          return int32(0);
                      });
    return list;
}

OptionList locatorSensor()
{
    OptionList list;
    appendEnumeration(list, StorageIDs_VectarisUnit::staticMetaObject, "Options",
                      [](const QByteArray&, uint32_t id) -> Bytes {
                          const int32_t frequency = id >= 0x21100000u ? int32_t(id - 0x21100000u) : 0;
                          const float gains[6] = {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};
                          return locatorCalibration(frequency, gains, 0);
                      });
    return list;
}

} // namespace SimDefaults
