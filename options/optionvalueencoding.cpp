#include "optionvalueencoding.h"

#include "core/loggerfactory.h"
#include "core/qtformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QVariant>
#include <QtEndian>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum class Kind
{
    Integer,
    IntegerArray,
    Text,
    Single
};

struct ValueType
{
    const char* name;
    Kind kind;
    int bytes; // of an integer
};

const ValueType kValueTypes[] = {
    {"uint8_t", Kind::Integer, 1},         {"uint16_t", Kind::Integer, 2}, {"uint32_t", Kind::Integer, 4},
    {"uint32_t[]", Kind::IntegerArray, 4}, {"char_t", Kind::Text, 0},      {"float_t", Kind::Single, 4},
};

const ValueType* valueType(const QString& name)
{
    for (const ValueType& type : kValueTypes) {
        if (name == QLatin1String(type.name)) {
            return &type;
        }
    }
    return nullptr;
}

// The JSON text of a value for warnings: scalars in their string form, arrays and objects compact.
QString valueText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Undefined:
        return QStringLiteral("(none)");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    case QJsonValue::String:
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    default:
        return value.toVariant().toString();
    }
}

// The value as a 32-bit signed integer; false (and 0) for fractions, numbers beyond the range and
// values that are no number at all.
bool toInt32(const QJsonValue& value, qint32* result)
{
    *result = 0;
    if (!value.isDouble()) {
        return false;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::trunc(number) ||
        number < double(std::numeric_limits<qint32>::min()) ||
        number > double(std::numeric_limits<qint32>::max())) {
        return false;
    }
    *result = value.toInt(0);
    return true;
}

class Encoder
{
public:
    Encoder(const QJsonObject& option, std::shared_ptr<spdlog::logger> logger)
        : m_id(option.value(QStringLiteral("id")).toVariant().toString()),
          m_type(option.value(QStringLiteral("type")).toString()), m_logger(std::move(logger))
    {
    }

    void warn(const QJsonValue& value, const char* what) const
    {
        m_logger->warn("Option {} of type {}: value {} {}", m_id, m_type, valueText(value), what);
    }

    qint32 integer(const QJsonValue& value) const
    {
        qint32 result = 0;
        if (!toInt32(value, &result)) {
            warn(value, "is no 32-bit signed integer, stored as 0");
        }
        return result;
    }

    QByteArray littleEndian(const QJsonValue& value, int bytes) const
    {
        const qint32 number = integer(value);
        // Negative numbers are meant as two's complement; anything wider than the type loses its top bytes.
        const qint64 lowest =
            bytes == 4 ? std::numeric_limits<qint32>::min() : -(qint64(1) << (8 * bytes - 1));
        const qint64 highest =
            bytes == 4 ? std::numeric_limits<qint32>::max() : (qint64(1) << (8 * bytes)) - 1;
        if (number < lowest || number > highest) {
            warn(value, "does not fit, only its low bytes are stored");
        }
        QByteArray result(4, '\0');
        qToLittleEndian<quint32>(quint32(number), result.data());
        result.truncate(bytes);
        return result;
    }

    QByteArray encode(const QJsonValue& value) const
    {
        const ValueType* type = valueType(m_type);
        if (!type) {
            m_logger->info("undefined value type {}", m_type);
            return QByteArray();
        }
        switch (type->kind) {
        case Kind::Integer:
            return littleEndian(value, type->bytes);
        case Kind::IntegerArray: {
            if (!value.isArray()) {
                warn(value, "is no array, stored as no bytes");
                return QByteArray();
            }
            QByteArray result;
            const QJsonArray elements = value.toArray();
            for (const QJsonValue& element : elements) {
                result.append(littleEndian(element, 4));
            }
            return result;
        }
        case Kind::Text: {
            if (!value.isString()) {
                warn(value, "is no text, stored as no bytes");
                return QByteArray();
            }
            const QString text = value.toString();
            for (const QChar character : text) {
                if (character.unicode() > 0xFF) {
                    warn(value, "holds characters outside Latin-1, stored as '?'");
                    break;
                }
            }
            return text.toLatin1();
        }
        case Kind::Single: {
            double number = 0.0;
            if (value.isDouble()) {
                number = value.toDouble();
            } else {
                warn(value, "is no number, stored as 0.0");
            }
            float single = 0.0f;
            if (std::isfinite(number) && std::fabs(number) > double(FLT_MAX)) {
                warn(value, "exceeds single precision, stored as infinity");
                single = number > 0 ? std::numeric_limits<float>::infinity()
                                    : -std::numeric_limits<float>::infinity();
            } else {
                single = float(number);
            }
            quint32 bits = 0;
            static_assert(sizeof(bits) == sizeof(single), "IEEE-754 single expected");
            std::memcpy(&bits, &single, sizeof(bits));
            QByteArray result(4, '\0');
            qToLittleEndian<quint32>(bits, result.data());
            return result;
        }
        }
        return QByteArray();
    }

private:
    QString m_id;
    QString m_type;
    std::shared_ptr<spdlog::logger> m_logger;
};

} // namespace

QByteArray encodeOptionValue(const QJsonObject& option, const std::shared_ptr<spdlog::logger>& logger)
{
    Encoder encoder(option,
                    logger ? logger : LoggerFactory::instance()->logger(QStringLiteral("ProductionWidget")));
    return encoder.encode(option.value(QStringLiteral("value")));
}

bool isOptionValueType(const QString& type)
{
    return valueType(type) != nullptr;
}
