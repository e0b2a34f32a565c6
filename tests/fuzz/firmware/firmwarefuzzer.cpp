// Feeds arbitrary bytes to the cipher and to the firmware loader, as a user-chosen file would.
//
// Each input is used twice: once as the file content itself, and once as a plain payload behind a valid
// container (flags from the low three bits of the first byte, the payload from the rest), so that the
// JSON header handling and the inflating of hostile compressed data are reached as well; random bytes
// almost never survive the integrity check.
#include "firmware/firmwarecipher.h"
#include "firmware/firmwareloader.h"
#include "tests/fuzz/jsonleaks.h"
#include "tools/firmwarepacker.h"

#include <QJsonObject>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {
void silence(QtMsgType, const QMessageLogContext&, const QString&) {}

void load(const QByteArray& content)
{
    FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
    const QByteArray plain = cipher.decrypt(content);
    if (cipher.lastError() != FirmwareCipher::ErrorNone && !plain.isEmpty()) {
        __builtin_trap(); // a failure must never hand out data
    }
    FirmwareInfo info;
    QJsonObject rest;
    loadFirmwareFromData(content, &info, &rest);
    if (rest.contains(QStringLiteral("Firmware"))) {
        __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (qInstallMessageHandler(silence), true);
    static FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    Q_UNUSED(quiet)

    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    load(input);

    if (size > 0) {
        const quint8 flags = quint8(data[0] & 0x07);
        // The payload goes in as it is: with the compression flag it is taken as already compressed.
        QByteArray container = packer.encrypt(input.mid(1), quint8(flags & ~FirmwareCipher::FlagCompressed));
        container[1] = char(flags);
        load(container);
    }
    return 0;
}
