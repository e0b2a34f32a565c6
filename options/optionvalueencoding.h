#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <spdlog/logger.h>

#include <memory>

// Turns one option object of an option description file ({"id", "type", "value"}) into the bytes stored
// under its storage id. Types: "uint8_t", "uint16_t", "uint32_t" (low bytes of the value as a 32-bit
// signed integer), "uint32_t[]" (4 bytes per element), "char_t" (Latin-1 text, '?' for other characters),
// "float_t" (IEEE-754 single); all little-endian. A value that is no integral 32-bit signed number
// encodes as 0.
//
// Never fails: an unknown type gives an empty byte string (info line "undefined value type {}"). Every
// value that cannot be stored as given (not convertible, truncated, not Latin-1, wrong JSON kind) is
// encoded as the rules say and reported as a warning naming the option id, its type and the value, so
// that a typo in the file never goes unnoticed. Lines go to `logger`, or to "ProductionWidget" when null.
QByteArray
encodeOptionValue(const QJsonObject& option,
                  const std::shared_ptr<spdlog::logger>& logger = std::shared_ptr<spdlog::logger>());

// Whether `type` is one of the value types above, the ones an option may be written with.
bool isOptionValueType(const QString& type);
