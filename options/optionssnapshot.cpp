#include "options/optionssnapshot.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cctype>

const char* const OptionsSnapshot::kFormatName = "tessor-options-snapshot";

namespace {
QString hexId(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}

bool parseHexId(const QJsonValue& value, quint32* id)
{
    const QString text = value.toString();
    if (!text.startsWith(QLatin1String("0x")) || text.size() < 3 || text.size() > 10) {
        return false;
    }
    bool ok = false;
    *id = text.mid(2).toUInt(&ok, 16);
    return ok;
}

bool parseHexBytes(const QJsonValue& value, QByteArray* bytes)
{
    if (!value.isString()) {
        return false;
    }
    const QByteArray text = value.toString().toLatin1();
    if (text.size() % 2 != 0) {
        return false;
    }
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    *bytes = QByteArray::fromHex(text);
    return true;
}

OptionsSnapshot refuse(QString* error, const QString& reason)
{
    if (error) {
        *error = reason;
    }
    return OptionsSnapshot();
}
} // namespace

QByteArray OptionsSnapshot::toJson() const
{
    QJsonObject device{{QStringLiteral("kind"), kind},
                       {QStringLiteral("usbId"), hexId(usbId)},
                       {QStringLiteral("serial"), serial},
                       {QStringLiteral("firmware"), firmwareVersion},
                       {QStringLiteral("hardwareRevision"), hardwareRevision},
                       {QStringLiteral("systemId"), systemId},
                       {QStringLiteral("chipId"), chipId}};
    QJsonArray list;
    for (const Option& option : options) {
        list.append(QJsonObject{{QStringLiteral("id"), hexId(option.id)},
                                {QStringLiteral("name"), option.name},
                                {QStringLiteral("value"), QString::fromLatin1(option.value.toHex())}});
    }
    QJsonArray unknown;
    for (const quint32 id : unknownIds) {
        unknown.append(hexId(id));
    }
    const QJsonObject root{{QStringLiteral("format"), QString::fromLatin1(kFormatName)},
                           {QStringLiteral("version"), kFormatVersion},
                           {QStringLiteral("time"), takenAt.toUTC().toString(Qt::ISODate)},
                           {QStringLiteral("device"), device},
                           {QStringLiteral("options"), list},
                           {QStringLiteral("unknown"), unknown}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

OptionsSnapshot OptionsSnapshot::fromJson(const QByteArray& json, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return refuse(error, QCoreApplication::translate("OptionsSnapshot", "not a JSON document (%1)")
                                 .arg(parseError.errorString()));
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormatName)) {
        return refuse(error, QCoreApplication::translate("OptionsSnapshot", "not an options snapshot"));
    }
    const int version = root.value(QStringLiteral("version")).toInt(-1);
    if (version < 1 || version > kFormatVersion) {
        return refuse(error, QCoreApplication::translate("OptionsSnapshot",
                                                         "snapshot format version %1 is not supported")
                                 .arg(version));
    }
    OptionsSnapshot snapshot;
    const QJsonObject device = root.value(QStringLiteral("device")).toObject();
    snapshot.kind = device.value(QStringLiteral("kind")).toString();
    if (snapshot.kind.isEmpty()) {
        return refuse(error,
                      QCoreApplication::translate("OptionsSnapshot", "the snapshot names no device kind"));
    }
    if (!parseHexId(device.value(QStringLiteral("usbId")), &snapshot.usbId)) {
        return refuse(error,
                      QCoreApplication::translate("OptionsSnapshot", "the snapshot's USB id is malformed"));
    }
    snapshot.serial = device.value(QStringLiteral("serial")).toString();
    snapshot.firmwareVersion = device.value(QStringLiteral("firmware")).toString();
    snapshot.hardwareRevision = device.value(QStringLiteral("hardwareRevision")).toString();
    snapshot.systemId = device.value(QStringLiteral("systemId")).toString();
    snapshot.chipId = device.value(QStringLiteral("chipId")).toString();
    snapshot.takenAt = QDateTime::fromString(root.value(QStringLiteral("time")).toString(), Qt::ISODate);
    if (!snapshot.takenAt.isValid()) {
        return refuse(error,
                      QCoreApplication::translate("OptionsSnapshot", "the snapshot's time is malformed"));
    }
    // Whole seconds, as written.
    snapshot.takenAt = snapshot.takenAt.toUTC().addMSecs(-snapshot.takenAt.time().msec());

    const QJsonValue list = root.value(QStringLiteral("options"));
    if (!list.isArray()) {
        return refuse(error,
                      QCoreApplication::translate("OptionsSnapshot", "the snapshot holds no option list"));
    }
    QSet<quint32> seen;
    const QJsonArray array = list.toArray();
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject entry = array.at(i).toObject();
        Option option;
        if (!parseHexId(entry.value(QStringLiteral("id")), &option.id)) {
            return refuse(
                error,
                QCoreApplication::translate("OptionsSnapshot", "option %1: the id is malformed").arg(i + 1));
        }
        if (!parseHexBytes(entry.value(QStringLiteral("value")), &option.value)) {
            return refuse(error, QCoreApplication::translate(
                                     "OptionsSnapshot", "option %1 (%2): the value is not hexadecimal bytes")
                                     .arg(i + 1)
                                     .arg(hexId(option.id)));
        }
        if (seen.contains(option.id)) {
            return refuse(error, QCoreApplication::translate("OptionsSnapshot", "option %1 appears twice")
                                     .arg(hexId(option.id)));
        }
        seen.insert(option.id);
        option.name = entry.value(QStringLiteral("name")).toString();
        snapshot.options.append(option);
    }
    // Written since the snapshot became whole or nothing; older files have none.
    const QJsonArray unknown = root.value(QStringLiteral("unknown")).toArray();
    for (int i = 0; i < unknown.size(); ++i) {
        quint32 id = 0;
        if (!parseHexId(unknown.at(i), &id)) {
            return refuse(error, QObject::tr("unknown option %1: the id is malformed").arg(i + 1));
        }
        if (seen.contains(id)) {
            return refuse(error, QObject::tr("option %1 appears twice").arg(hexId(id)));
        }
        seen.insert(id);
        snapshot.unknownIds.append(id);
    }
    return snapshot;
}

QString OptionsSnapshot::instrumentOf(const QString& serial, const QString& systemId, const QString& chipId)
{
    if (!serial.isEmpty()) {
        return serial;
    }
    // A chip id that is not hexadecimal gives a system id of zeros, which many boards would share.
    const bool systemIdTellsApart = systemId.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return systemIdTellsApart ? systemId : chipId;
}

QString OptionsSnapshot::coverage() const
{
    const int read = options.size();
    const int asked = read + unknownIds.size();
    return unknownIds.isEmpty() ? QObject::tr("%1 of %2 options").arg(read).arg(asked)
                                : QObject::tr("%1 of %2 options, %3 not known to the firmware")
                                      .arg(read)
                                      .arg(asked)
                                      .arg(unknownIds.size());
}

QString OptionsSnapshot::filePrefix(const QString& kind, const QString& instrument)
{
    auto safe = [](const QString& text) {
        QString out;
        for (const QChar c : text) {
            const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                               (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                               c == QLatin1Char('_') || c == QLatin1Char('-');
            out += plain ? c : QLatin1Char('_');
        }
        return out.isEmpty() ? QStringLiteral("no-serial") : out;
    };
    return QStringLiteral("%1-%2-").arg(safe(kind), safe(instrument));
}

QString OptionsSnapshot::fileName() const
{
    return filePrefix(kind, instrument()) + takenAt.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")) +
           QStringLiteral(".json");
}

QByteArray OptionsSnapshot::value(quint32 id) const
{
    for (const Option& option : options) {
        if (option.id == id) {
            return option.value;
        }
    }
    return QByteArray();
}

bool OptionsSnapshot::contains(quint32 id) const
{
    for (const Option& option : options) {
        if (option.id == id) {
            return true;
        }
    }
    return false;
}

QList<OptionsSnapshot::Option> OptionsSnapshot::differences(const OptionsSnapshot& current) const
{
    QList<Option> changed;
    for (const Option& option : options) {
        if (!current.contains(option.id) || current.value(option.id) != option.value) {
            changed.append(option);
        }
    }
    return changed;
}
