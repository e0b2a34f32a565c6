// Runs every OptionParser query and encodeOptionValue over arbitrary JSON text. The first line of the
// input (up to a newline) chooses the device type, the hardware revision and the function name, so that
// the fuzzer can reach the matching paths.
#include "options/optionparser.h"
#include "options/optionvalueencoding.h"
#include "tests/fuzz/jsonleaks.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <spdlog/spdlog.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    const int newline = input.indexOf('\n');
    const QList<QByteArray> keys = (newline < 0 ? QByteArray() : input.left(newline)).split('|');
    const QString deviceType = QString::fromUtf8(keys.value(0));
    const QString revision = QString::fromUtf8(keys.value(1));
    const QString function = QString::fromUtf8(keys.value(2));

    const QJsonDocument document = QJsonDocument::fromJson(input.mid(newline + 1));
    OptionParser parser(document, deviceType, revision);
    // The logger has no sinks here; at trace level every message is still formatted, and thereby fuzzed.
    parser.logger()->set_level(spdlog::level::trace);
    parser.baseFirmware();
    parser.deviceTypes(revision);
    parser.firmware(function);
    const QStringList names = parser.functionNames();
    for (const QString& name : names) {
        const QJsonArray options = parser.options(name);
        for (const QJsonValue& option : options) {
            encodeOptionValue(option.toObject());
        }
    }
    const QJsonArray options = parser.options(function);
    for (const QJsonValue& option : options) {
        encodeOptionValue(option.toObject());
    }
    // Any object in the document may be handed to the encoder by the develop page.
    if (document.isObject()) {
        encodeOptionValue(document.object());
    }
    return 0;
}
