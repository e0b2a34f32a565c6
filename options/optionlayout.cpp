#include "options/optionlayout.h"

#include "options/storageids_general.h"

#include <QObject>
#include <QSet>

namespace {
QString hexId(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}

// 32-bit integers (switches, counters, raw thresholds) and single floats.
const QSet<QString>& fourByteKeys()
{
    static const QSet<QString> keys{
        QStringLiteral("e_sid_cu_Option_SheathFault"),
        QStringLiteral("e_sid_cu_Option_Coincidence"),
        QStringLiteral("e_sid_cu_Option_Vectaris"),
        QStringLiteral("e_sid_cu_Bluetooth"),
        QStringLiteral("e_sid_cu_DevelopMode"),
        QStringLiteral("e_sid_cu_Option_Screenshot"),
        QStringLiteral("e_sid_cu_Option_DemoDevice"),
        QStringLiteral("e_sid_cu_Option_BNR"),
        QStringLiteral("e_sid_cu_Option_TouchProtect"),
        QStringLiteral("e_sid_cu_Option_Compass"),
        QStringLiteral("e_sid_cu_Option_LoudnessLimiter"),
        QStringLiteral("e_sid_cu_Option_ActivityWatchdogTime"),
        QStringLiteral("e_sid_cu_Option_MaxRebootCounter"),
        QStringLiteral("e_sid_cu_sp_Calibration_SheathFault_CH1"),
        QStringLiteral("e_sid_cu_sp_Calibration_SheathFault_CH2"),
        QStringLiteral("e_sid_cu_HeadphoneLimiter_Threshold"),
        QStringLiteral("e_sid_cu_HeadphoneLimiter_Max"),
        QStringLiteral("e_sid_su_TouchProtectThreshold"),
        QStringLiteral("e_sid_su_TouchProtect_Calibrated"),
    };
    return keys;
}
} // namespace

bool OptionLayout::isIdentity(quint32 id)
{
    using General = StorageIDs_general::Options;
    return id >= quint32(General::e_sid_PcbSerialNumber) && id < quint32(General::e_sid_general_Last);
}

int OptionLayout::fixedSize(StorageIdCatalogue::Family family, quint32 id)
{
    const QString key = StorageIdCatalogue::name(family, id);
    if (key.isEmpty() || isIdentity(id) || key.endsWith(QLatin1String("_Last"))) {
        return -1;
    }
    if (fourByteKeys().contains(key) || key.startsWith(QLatin1String("e_sid_cu_Option_Lang_"))) {
        return 4;
    }
    // Every stored value of the locator table is a calibration record: int32, six floats, int32.
    if (family == StorageIdCatalogue::Family::LocatorSensor && key.startsWith(QLatin1String("e_sid_vcs_"))) {
        return 32;
    }
    return -1;
}

QString OptionLayout::misfit(StorageIdCatalogue::Family family, quint32 id, const QByteArray& value)
{
    if (!StorageIdCatalogue::deviceIds(family).contains(id)) {
        return QObject::tr("option %1 is not one this kind of instrument keeps").arg(hexId(id));
    }
    const int size = fixedSize(family, id);
    if (size >= 0 && value.size() != size) {
        return QObject::tr("option %1 (%2) holds %3 bytes, not %4")
            .arg(hexId(id), StorageIdCatalogue::name(family, id))
            .arg(size)
            .arg(value.size());
    }
    if (value.size() > kMaxValueBytes) {
        return QObject::tr("option %1 (%2): a value of %3 bytes is longer than one option can hold")
            .arg(hexId(id), StorageIdCatalogue::name(family, id))
            .arg(value.size());
    }
    return QString();
}
