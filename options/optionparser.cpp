#include "optionparser.h"

#include <QFile>
#include <QSet>

namespace {

const QString kDevices = QStringLiteral("devices");
const QString kDeviceType = QStringLiteral("device_type");
const QString kFunctions = QStringLiteral("functions");
const QString kFirmware = QStringLiteral("firmware");
const QString kOptions = QStringLiteral("options");
const QString kId = QStringLiteral("id");

// The elements of a value that may be an array or a single object.
QJsonArray arrayOrSingle(const QJsonValue& value)
{
    if (value.isArray()) {
        return value.toArray();
    }
    if (value.isObject()) {
        return QJsonArray{value};
    }
    return QJsonArray();
}

// "name", or "functionname" when "name" is absent.
QJsonValue functionName(const QJsonObject& function)
{
    return function.contains(QStringLiteral("name")) ? function.value(QStringLiteral("name"))
                                                     : function.value(QStringLiteral("functionname"));
}

bool matchesPcbVersion(const QJsonObject& function, const QString& revision)
{
    const QJsonValue versions = function.value(QStringLiteral("pcb_versions"));
    if (versions.isString()) {
        return versions.toString() == revision;
    }
    if (versions.isArray()) {
        const QJsonArray list = versions.toArray();
        for (const QJsonValue& version : list) {
            if (version.isString() && version.toString() == revision) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

OptionParser::OptionParser(const QJsonDocument& document, const QString& deviceType,
                           const QString& hardwareRevision, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("ProductionWidget")), m_document(document),
      m_deviceType(deviceType), m_hardwareRevision(hardwareRevision)
{
}

OptionParser::OptionParser(const QString& path, const QString& deviceType, const QString& hardwareRevision,
                           QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("ProductionWidget")), m_deviceType(deviceType),
      m_hardwareRevision(hardwareRevision)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        logger()->error("unable to open file {}", path);
        return;
    }
    const QByteArray text = file.readAll();
    if (text.isEmpty()) {
        logger()->error("empty file given {}", path);
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        logger()->error("failed reading description file {}, error {}: {}", path, int(error.error),
                        error.errorString());
        return;
    }
    m_document = document;
}

QString OptionParser::baseFirmware() const
{
    return m_document.object().value(QStringLiteral("basefirmware")).toString();
}

bool OptionParser::isMatchingDevice(const QJsonValue& element) const
{
    if (element.isUndefined()) {
        return false;
    }
    const QJsonValue type = element.toObject().value(kDeviceType);
    if (type.isUndefined()) {
        logger()->debug("no device type found for {}", m_deviceType);
        return false;
    }
    if (!type.isString()) {
        logger()->debug("invalid JSON value type {}, string required", int(type.type()));
        return false;
    }
    if (type.toString() != m_deviceType) {
        logger()->debug("no device description found for {}", m_deviceType);
        return false;
    }
    return true;
}

std::optional<QJsonObject> OptionParser::matchingDevice() const
{
    const QJsonValue devices = m_document.object().value(kDevices);
    logger()->debug("JSON devices type {}", int(devices.type()));
    if (devices.isUndefined()) {
        return std::nullopt;
    }
    if (!devices.isArray()) {
        return isMatchingDevice(devices) ? std::optional<QJsonObject>(devices.toObject()) : std::nullopt;
    }
    const QJsonArray list = devices.toArray();
    for (const QJsonValue& element : list) {
        if (isMatchingDevice(element)) {
            return element.toObject();
        }
    }
    return std::nullopt;
}

std::optional<QJsonObject> OptionParser::findFunction(const QJsonObject& device, const QString& name) const
{
    const QJsonArray functions = arrayOrSingle(device.value(kFunctions));
    for (const QJsonValue& element : functions) {
        const QJsonObject function = element.toObject();
        const QJsonValue candidate = functionName(function);
        if (element.isObject() && candidate.isString() && candidate.toString() == name) {
            return function;
        }
    }
    return std::nullopt;
}

QStringList OptionParser::functionNames() const
{
    QStringList names;
    const std::optional<QJsonObject> device = matchingDevice();
    if (!device) {
        return names;
    }
    const QJsonArray functions = arrayOrSingle(device->value(kFunctions));
    for (const QJsonValue& element : functions) {
        const QJsonObject function = element.toObject();
        const QJsonValue name = functionName(function);
        if (name.isString() && matchesPcbVersion(function, m_hardwareRevision)) {
            names.append(name.toString());
        }
    }
    return names;
}

QStringList OptionParser::deviceTypes(const QString& hardwareRevision) const
{
    QStringList types;
    const QJsonValue devices = m_document.object().value(kDevices);
    if (!devices.isArray()) {
        return types;
    }
    const QJsonArray list = devices.toArray();
    for (const QJsonValue& element : list) {
        const QJsonObject device = element.toObject();
        const QString type = device.value(kDeviceType).toString();
        const QJsonValue functions = device.value(kFunctions);
        if (type.isEmpty() || types.contains(type) || !functions.isArray()) {
            continue;
        }
        const QJsonArray functionList = functions.toArray();
        for (const QJsonValue& function : functionList) {
            if (matchesPcbVersion(function.toObject(), hardwareRevision)) {
                types.append(type);
                break;
            }
        }
    }
    return types;
}

QString OptionParser::firmware(const QString& functionName) const
{
    const std::optional<QJsonObject> device = matchingDevice();
    if (!device) {
        return QString();
    }
    const std::optional<QJsonObject> function = findFunction(*device, functionName);
    if (!function) {
        return QString();
    }
    const QJsonValue own = function->value(kFirmware);
    if (own.isString()) {
        return own.toString();
    }
    return device->value(kFirmware).toString();
}

QJsonArray OptionParser::options(const QString& functionName) const
{
    const std::optional<QJsonObject> device = matchingDevice();
    if (!device) {
        return QJsonArray();
    }
    const std::optional<QJsonObject> function = findFunction(*device, functionName);
    if (!function) {
        return QJsonArray();
    }
    QJsonArray merged = function->value(kOptions).toArray();
    QSet<QString> ids;
    for (const QJsonValue& option : qAsConst(merged)) {
        const QJsonValue id = option.toObject().value(kId);
        if (id.isString()) {
            ids.insert(id.toString());
        }
    }
    const QJsonArray deviceOptions = device->value(kOptions).toArray();
    for (const QJsonValue& option : deviceOptions) {
        const QJsonValue id = option.toObject().value(kId);
        if (!(id.isString() && ids.contains(id.toString()))) {
            merged.append(option);
        }
    }
    return merged;
}
