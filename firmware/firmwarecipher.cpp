#include "firmwarecipher.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>

namespace {
constexpr int kChecksumSize = 2;
constexpr int kHashSize = 20;
constexpr int kLengthPrefixSize = 4;
// Output is produced in steps of this size so that a stream lying about its length still cannot make us
// allocate more than the cap.
constexpr int kInflateStep = 256 * 1024;
} // namespace

FirmwareCipher::FirmwareCipher(quint64 key) : m_key(key)
{
    for (size_t j = 0; j < m_keyParts.size(); ++j) {
        m_keyParts[j] = char((m_key >> (8 * j)) & 0xFF);
    }
    m_hasKey = true;
    Q_UNUSED(m_compressionMode)
    Q_UNUSED(m_protectionMode)
}

QByteArray FirmwareCipher::decrypt(QByteArray cipherText)
{
    if (!m_hasKey) {
        qWarning("No key set.");
        m_lastError = ErrorNoKeySet;
        return QByteArray();
    }
    if (cipherText.size() < 3) {
        return QByteArray();
    }
    if (quint8(cipherText.at(0)) != kVersion) {
        m_lastError = ErrorUnknownVersion;
        qWarning("Invalid version or not a cyphertext.");
        return QByteArray();
    }

    const quint8 flags = quint8(cipherText.at(1));
    QByteArray body = cipherText.mid(2);
    cipherText.clear();

    // The chaining value is the enciphered byte, so every byte depends only on its own and its
    // predecessor's cipher byte.
    char previous = 0;
    char* bytes = body.data();
    for (int i = 0; i < body.size(); ++i) {
        const char enciphered = bytes[i];
        bytes[i] = char(enciphered ^ previous ^ m_keyParts[size_t(i) % m_keyParts.size()]);
        previous = enciphered;
    }
    body.remove(0, 1); // random filler

    bool intact = true;
    if (flags & FlagChecksum) {
        if (body.size() < kChecksumSize) {
            intact = false;
        } else {
            const quint16 stored = qFromBigEndian<quint16>(body.constData());
            body.remove(0, kChecksumSize);
            intact = stored == qChecksum(body.constData(), uint(body.size()));
        }
    } else if (flags & FlagHash) {
        if (body.size() < kHashSize) {
            intact = false;
        } else {
            const QByteArray stored = body.left(kHashSize);
            body.remove(0, kHashSize);
            intact = stored == QCryptographicHash::hash(body, QCryptographicHash::Sha1);
        }
    }
    if (!intact) {
        m_lastError = ErrorIntegrityFailed;
        return QByteArray();
    }

    if (flags & FlagCompressed) {
        QByteArray plain;
        if (!uncompressBounded(body, &plain)) {
            qWarning("Compressed payload is corrupt or too large.");
        }
        body = plain;
    }

    m_lastError = ErrorNone;
    return body;
}

bool FirmwareCipher::uncompressBounded(const QByteArray& compressed, QByteArray* plain)
{
    plain->clear();
    if (compressed.size() <= kLengthPrefixSize) {
        // Four zero bytes are how an empty array is compressed; anything shorter is corrupt.
        return compressed.size() == kLengthPrefixSize && qFromBigEndian<quint32>(compressed.constData()) == 0;
    }
    const quint32 declared = qFromBigEndian<quint32>(compressed.constData());
    if (declared > quint32(kMaxPlainTextSize)) {
        return false;
    }

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData() + kLengthPrefixSize));
    stream.avail_in = uInt(compressed.size() - kLengthPrefixSize);

    QByteArray out;
    out.resize(int(std::max<quint32>(declared, 1)));
    int produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == out.size()) {
            // The stream holds more than it declared; allow it (as qUncompress does) up to the cap.
            if (out.size() >= kMaxPlainTextSize) {
                status = Z_BUF_ERROR;
                break;
            }
            out.resize(std::min(kMaxPlainTextSize, out.size() + std::max(kInflateStep, out.size() / 2)));
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        stream.avail_out = uInt(out.size() - produced);
        status = inflate(&stream, Z_NO_FLUSH);
        produced = out.size() - int(stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out != 0) {
            break; // input ended before the stream did
        }
        if (status == Z_BUF_ERROR) {
            status = Z_OK; // only the output was full
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        return false;
    }
    out.resize(produced);
    *plain = out;
    return true;
}
