#include "options/optionfunctions.h"

#include "firmware/firmwarecipher.h"
#include "options/optionparser.h"
#include "options/optionvalueencoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

namespace {
// Storage id of an option object: its "id" text as an unsigned decimal number.
bool optionId(const QJsonObject& option, quint32* id)
{
    bool ok = false;
    *id = option.value(QStringLiteral("id")).toString().toUInt(&ok, 10);
    return ok;
}

OptionFunctions::Refusal refusalOf(const QJsonArray& options)
{
    for (const QJsonValue& value : options) {
        const QJsonObject option = value.toObject();
        OptionFunctions::Refusal refusal;
        refusal.id = option.value(QStringLiteral("id")).toString();
        refusal.type = option.value(QStringLiteral("type")).toString();
        quint32 id = 0;
        if (!optionId(option, &id)) {
            refusal.reason = OptionFunctions::Refusal::IdNotNumber;
            return refusal;
        }
        if (!isOptionValueType(refusal.type)) {
            refusal.reason = OptionFunctions::Refusal::UnknownType;
            return refusal;
        }
    }
    return OptionFunctions::Refusal();
}
} // namespace

const char* const OptionFunctions::kFileName = "file.options";

OptionFunctions::OptionFunctions() : BaseLogger(QStringLiteral("OptionFunctions")) {}

OptionFunctions::~OptionFunctions() = default;

QString OptionFunctions::filePath(const QString& directory)
{
    return directory.isEmpty() ? QString() : QDir(directory).filePath(QLatin1String(kFileName));
}

void OptionFunctions::clear()
{
    m_parser.reset();
    m_baseFirmware.clear();
    m_names.clear();
    m_options.clear();
    m_refusals.clear();
    m_distinguishingIds.clear();
    m_recognitionIds.clear();
}

int OptionFunctions::locate(const QString& directory)
{
    if (directory.isEmpty()) {
        // Resolving the file against the working directory would pick up whatever lies there.
        logger()->error("unable to load file {} (no firmware directory set)", kFileName);
        return NoDirectory;
    }
    const QString file = filePath(directory);
    if (!QFileInfo(file).isFile()) {
        logger()->error("unable to load file {}", file);
        return NoFile;
    }
    return Loaded;
}

int OptionFunctions::load(const QString& directory, const QString& deviceType,
                          const QString& hardwareRevision)
{
    clear();
    const int found = locate(directory);
    if (found != Loaded) {
        return found;
    }
    logger()->trace("Reload Options file, filtering for hardware revision {} and device type {}",
                    hardwareRevision, deviceType);
    const QString file = filePath(directory);
    QFile in(file);
    QByteArray plain;
    if (in.open(QIODevice::ReadOnly)) {
        plain = FirmwareCipher(FirmwareCipher::kBuiltInKey).decrypt(in.readAll());
    }
    const int result = load(QJsonDocument::fromJson(plain), deviceType, hardwareRevision);
    if (result == Unreadable) {
        logger()->error("unable to load file {}", file);
    }
    return result;
}

int OptionFunctions::load(const QJsonDocument& document, const QString& deviceType,
                          const QString& hardwareRevision)
{
    clear();
    if (document.isNull() || document.isEmpty()) {
        return Unreadable;
    }
    m_parser = std::make_unique<OptionParser>(document, deviceType, hardwareRevision);
    m_baseFirmware = m_parser->baseFirmware();
    if (deviceType.isEmpty() || hardwareRevision.isEmpty()) {
        return Loaded;
    }
    m_names = m_parser->functionNames();
    for (const QString& name : qAsConst(m_names)) {
        const QJsonArray options = m_parser->options(name);
        m_options.insert(name, options);
        const Refusal refusal = refusalOf(options);
        if (refusal.reason != Refusal::None) {
            m_refusals.insert(name, refusal);
        }
    }
    analyse();
    return Loaded;
}

void OptionFunctions::analyse()
{
    // An id tells the functions apart unless every function has it with the same value.
    QHash<QString, QHash<quint32, QJsonValue>> byFunction;
    QSet<quint32> allIds;
    for (auto it = m_options.constBegin(); it != m_options.constEnd(); ++it) {
        QHash<quint32, QJsonValue>& values = byFunction[it.key()];
        for (const QJsonValue& value : it.value()) {
            const QJsonObject option = value.toObject();
            quint32 id = 0;
            if (optionId(option, &id)) {
                values.insert(id, option.value(QStringLiteral("value")));
                allIds.insert(id);
            }
        }
    }
    QHash<quint32, QJsonValue> first;
    QSet<quint32> differing;
    for (quint32 id : qAsConst(allIds)) {
        for (auto it = byFunction.constBegin(); it != byFunction.constEnd(); ++it) {
            if (!it.value().contains(id)) {
                differing.insert(id);
                break;
            }
            if (!first.contains(id)) {
                first.insert(id, it.value().value(id));
            } else if (first.value(id) != it.value().value(id)) {
                differing.insert(id);
                break;
            }
        }
    }
    m_distinguishingIds = differing.values();
    std::sort(m_distinguishingIds.begin(), m_distinguishingIds.end());
    m_recognitionIds = m_distinguishingIds.isEmpty() ? allIds.values() : m_distinguishingIds;
    std::sort(m_recognitionIds.begin(), m_recognitionIds.end());
}

QStringList OptionFunctions::deviceTypes(const QString& hardwareRevision) const
{
    return m_parser ? m_parser->deviceTypes(hardwareRevision) : QStringList();
}

QString OptionFunctions::firmware(const QString& name) const
{
    return m_parser && !name.isEmpty() ? m_parser->firmware(name) : QString();
}

QHash<quint32, QByteArray> OptionFunctions::values(const QString& name) const
{
    QHash<quint32, QByteArray> values;
    if (m_refusals.contains(name)) {
        return values;
    }
    for (const QJsonValue& value : m_options.value(name)) {
        const QJsonObject option = value.toObject();
        quint32 id = 0;
        if (optionId(option, &id)) {
            values.insert(id, encodeOptionValue(option, logger()));
        }
    }
    return values;
}

std::optional<QString> OptionFunctions::recognise(const QHash<quint32, QByteArray>& stored) const
{
    if (m_recognitionIds.isEmpty()) {
        return std::nullopt;
    }
    for (quint32 id : m_recognitionIds) {
        if (!stored.contains(id)) {
            return std::nullopt;
        }
    }
    logger()->debug("all options read");
    for (auto it = m_options.constBegin(); it != m_options.constEnd(); ++it) {
        QSet<quint32> compared;
        bool allMatch = true;
        for (const QJsonValue& value : it.value()) {
            const QJsonObject option = value.toObject();
            quint32 id = 0;
            if (!optionId(option, &id) || !m_recognitionIds.contains(id)) {
                continue;
            }
            compared.insert(id);
            if (stored.value(id) != encodeOptionValue(option, logger())) {
                allMatch = false;
                break;
            }
        }
        if (allMatch && compared.size() == m_recognitionIds.size()) {
            logger()->info("device function is {}", it.key());
            return it.key();
        }
    }
    return QString();
}
