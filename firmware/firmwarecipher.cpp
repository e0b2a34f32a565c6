#include "firmwarecipher.h"

#include "firmware/firmwarechecksum.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr int kChecksumSize = 2;
constexpr int kHashSize = 20;
constexpr int kLengthPrefixSize = 4;
// Output is produced in steps of this size so that a stream lying about its length still cannot make us
// allocate more than the cap.
constexpr int kInflateStep = 256 * 1024;
} // namespace

FirmwareCipher::FirmwareCipher(quint64 key) : BaseLogger(QStringLiteral("FirmwareCipher")), m_key(key)
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
        logger()->warn("No key set.");
        m_lastError = ErrorNoKeySet;
        return QByteArray();
    }
    if (cipherText.size() < 3) {
        return QByteArray();
    }
    if (quint8(cipherText.at(0)) != kVersion) {
        m_lastError = ErrorUnknownVersion;
        logger()->warn("Invalid version or not a cyphertext.");
        return QByteArray();
    }

    const quint8 flags = quint8(cipherText.at(1));
    const char* cipher = cipherText.constData() + 2;
    const int count = cipherText.size() - 2;

    // plain[i] = cipher[i] ^ cipher[i - 1] ^ key[i % 8]: the chaining value is the enciphered byte, so no
    // output depends on another output and eight bytes are done at a time. The first plain byte is random
    // filler and is not produced at all: body[j] is plain[j + 1].
    QByteArray body(count - 1, Qt::Uninitialized);
    char* out = body.data();
    // Key bytes in memory order for plain indices 1..8, so that a word starting at body[8k] lines up.
    char keyBytes[8];
    for (size_t k = 0; k < 8; ++k) {
        keyBytes[k] = m_keyParts[(k + 1) % 8];
    }
    quint64 keyWord = 0;
    std::memcpy(&keyWord, keyBytes, 8);
    int j = 0;
    for (; j + 8 <= count - 1; j += 8) {
        quint64 current = 0;
        quint64 previous = 0;
        std::memcpy(&current, cipher + j + 1, 8);
        std::memcpy(&previous, cipher + j, 8);
        const quint64 plain = current ^ previous ^ keyWord;
        std::memcpy(out + j, &plain, 8);
    }
    for (; j < count - 1; ++j) {
        out[j] = char(cipher[j + 1] ^ cipher[j] ^ m_keyParts[size_t(j + 1) % m_keyParts.size()]);
    }
    cipherText.clear();

    // The integrity fields are checked in place; the payload is cut out once at the end.
    bool intact = true;
    int start = 0;
    if (flags & FlagChecksum) {
        start = kChecksumSize;
        intact = body.size() >= start && qFromBigEndian<quint16>(body.constData()) ==
                                             containerChecksum(body.constData() + start, body.size() - start);
    } else if (flags & FlagHash) {
        start = kHashSize;
        if (body.size() >= start) {
            QCryptographicHash sha1(QCryptographicHash::Sha1);
            sha1.addData(body.constData() + start, body.size() - start);
            intact = sha1.result() == QByteArray::fromRawData(body.constData(), kHashSize);
        } else {
            intact = false;
        }
    }
    if (!intact) {
        m_lastError = ErrorIntegrityFailed;
        return QByteArray();
    }

    if (flags & FlagCompressed) {
        QByteArray plain;
        if (!uncompressBounded(QByteArray::fromRawData(body.constData() + start, body.size() - start),
                               &plain)) {
            logger()->warn("Compressed payload is corrupt or too large.");
        }
        body = plain;
    } else if (start > 0) {
        body.remove(0, start);
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
