#pragma once

// The fuzz build lowers the cap (same logic, smaller bound) so that hostile compressed inputs do not
// spend most of the fuzzing time inflating.
#ifndef SERVICE_MAX_PLAIN_TEXT_SIZE
#define SERVICE_MAX_PLAIN_TEXT_SIZE (64 * 1024 * 1024)
#endif

#include "core/baselogger.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Deciphers the container that protects firmware files and option description files.
//
// Container: [version = 3][flags][enciphered body]. Flags: 0x01 payload in qCompress form, 0x02 16-bit
// checksum (CRC-16/X-25) present, 0x04 SHA-1 digest present (ignored when 0x02 is also set). The body is
// a chained XOR over the key bytes whose chaining value is the previous *enciphered* byte; the first
// deciphered byte is random filler. See firmware/README.md for the byte tables.
//
// Every failure ends in an empty result and a code in lastError(); warnings go to the named logger
// "FirmwareCipher", so that they reach the console only when logging was asked for.
// Not thread-safe per object (lastError), but objects are cheap: use one per thread.
class FirmwareCipher : public BaseLogger
{
public:
    // The key every firmware file and option description file of the product family is enciphered with.
    static constexpr quint64 kBuiltInKey = 0x5E2B91D47A0C6F38ULL;
    static constexpr quint8 kVersion = 3;

    enum Flag : quint8
    {
        FlagCompressed = 0x01,
        FlagChecksum = 0x02,
        FlagHash = 0x04,
    };

    enum Error
    {
        ErrorNone = 0,
        ErrorNoKeySet = 1,
        ErrorUnknownVersion = 2,
        ErrorIntegrityFailed = 3,
    };

    // Largest deciphered payload accepted after inflating. Real payloads are well below a megabyte; the
    // cap keeps a hostile file from making us allocate without bound (a declared size above it is
    // rejected before inflating, and inflating stops when the output would exceed it).
    static constexpr int kMaxPlainTextSize = SERVICE_MAX_PLAIN_TEXT_SIZE;

    explicit FirmwareCipher(quint64 key);

    QByteArray decrypt(QByteArray cipherText);
    int lastError() const { return m_lastError; }

    // Inflates a payload in qCompress form (4-byte big-endian length, then a zlib stream) without ever
    // holding more than kMaxPlainTextSize bytes. Returns false for corrupt or oversized data.
    static bool uncompressBounded(const QByteArray& compressed, QByteArray* plain);

private:
    quint64 m_key;
    std::array<char, 8> m_keyParts{};
    bool m_hasKey = false;
    int m_compressionMode = 0;
    int m_protectionMode = 1;
    int m_lastError = ErrorNone;
};
