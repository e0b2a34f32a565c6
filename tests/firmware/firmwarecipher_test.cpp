#include "firmware/firmwarecipher.h"
#include "logcapture.h"
#include "tools/firmwarepacker.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = char(generator.bounded(256));
    }
    return bytes;
}

// Enciphers a ready body (filler byte, integrity field, payload) apart from the packer: each byte is
// chained with the enciphered byte before it.
QByteArray encipherBody(QByteArray body, quint8 flags)
{
    char previous = 0;
    for (int i = 0; i < body.size(); ++i) {
        const char key = char((FirmwareCipher::kBuiltInKey >> (8 * (i % 8))) & 0xFF);
        body[i] = char(body[i] ^ previous ^ key);
        previous = body[i];
    }
    return QByteArray(1, char(FirmwareCipher::kVersion)) + char(flags) + body;
}

class FirmwareCipherTest : public ::testing::Test
{
protected:
    FirmwarePacker packer{FirmwareCipher::kBuiltInKey};
    FirmwareCipher cipher{FirmwareCipher::kBuiltInKey};
};

TEST_F(FirmwareCipherTest, RoundTripsEveryFlagCombination)
{
    const QByteArray texts[] = {QByteArray("x"), QByteArray("{\"a\":1}"), randomBytes(5000, 1),
                                QByteArray(100000, 'z')};
    for (int flags = 0; flags < 8; ++flags) {
        for (const QByteArray& text : texts) {
            const QByteArray container = packer.encrypt(text, quint8(flags));
            EXPECT_EQ(cipher.decrypt(container), text) << "flags " << flags << " size " << text.size();
            EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorNone);
        }
    }
}

TEST_F(FirmwareCipherTest, RejectsWrongVersionAndShortInput)
{
    QByteArray container = packer.encrypt("payload", 0);
    container[0] = 2;
    EXPECT_TRUE(cipher.decrypt(container).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorUnknownVersion);

    FirmwareCipher fresh(FirmwareCipher::kBuiltInKey);
    EXPECT_TRUE(fresh.decrypt(QByteArray("\x03\x00", 2)).isEmpty());
    EXPECT_EQ(fresh.lastError(), FirmwareCipher::ErrorNone);
    EXPECT_TRUE(fresh.decrypt(QByteArray()).isEmpty());
}

TEST_F(FirmwareCipherTest, FlagsZeroGivesBodyWithoutFillerUnchecked)
{
    const QByteArray body = QByteArray("\x55", 1) + "plain text";
    EXPECT_EQ(cipher.decrypt(encipherBody(body, 0)), QByteArray("plain text"));
    // A single body byte is only the filler.
    EXPECT_TRUE(cipher.decrypt(encipherBody(QByteArray(1, 'q'), 0)).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorNone);
}

TEST_F(FirmwareCipherTest, ChecksumWinsOverHashWhenBothFlagsAreSet)
{
    const QByteArray payload("checked by CRC-16 only");
    QByteArray checksum(2, '\0');
    qToBigEndian<quint16>(qChecksum(payload.constData(), uint(payload.size())), checksum.data());
    const QByteArray body = QByteArray(1, 'r') + checksum + payload;
    EXPECT_EQ(cipher.decrypt(encipherBody(body, FirmwareCipher::FlagChecksum | FirmwareCipher::FlagHash)),
              payload);
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorNone);
}

TEST_F(FirmwareCipherTest, DetectsTamperingAndTruncatedIntegrityFields)
{
    for (quint8 flags : {quint8(FirmwareCipher::FlagChecksum), quint8(FirmwareCipher::FlagHash),
                         quint8(FirmwareCipher::FlagChecksum | FirmwareCipher::FlagCompressed)}) {
        QByteArray container = packer.encrypt(randomBytes(300, 7), flags);
        container[container.size() - 1] = char(container[container.size() - 1] ^ 0x01);
        EXPECT_TRUE(cipher.decrypt(container).isEmpty()) << int(flags);
        EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorIntegrityFailed) << int(flags);
    }
    // Filler plus one byte cannot hold a 2-byte checksum; filler plus 19 bytes cannot hold a SHA-1 digest.
    EXPECT_TRUE(cipher.decrypt(encipherBody(QByteArray(2, 'a'), FirmwareCipher::FlagChecksum)).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorIntegrityFailed);
    EXPECT_TRUE(cipher.decrypt(encipherBody(QByteArray(20, 'a'), FirmwareCipher::FlagHash)).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorIntegrityFailed);
    // An empty payload with a matching digest is intact.
    const QByteArray digest = QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha1);
    EXPECT_TRUE(
        cipher.decrypt(encipherBody(QByteArray(1, 'f') + digest, FirmwareCipher::FlagHash)).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorNone);
}

TEST(FirmwareCipherInflate, MatchesQtCompressedForm)
{
    for (int size : {0, 1, 1000, 300000}) {
        const QByteArray text = randomBytes(size, quint32(size)) + QByteArray(size, 'a');
        QByteArray plain;
        ASSERT_TRUE(FirmwareCipher::uncompressBounded(qCompress(text), &plain)) << size;
        EXPECT_EQ(plain, text);
    }
}

TEST(FirmwareCipherInflate, RejectsOversizedCorruptAndTruncatedStreams)
{
    QByteArray plain("untouched");
    // Declared size beyond the cap: refused before inflating.
    QByteArray huge = qCompress(QByteArray("tiny"));
    qToBigEndian<quint32>(0xFFFFFFF0u, huge.data());
    EXPECT_FALSE(FirmwareCipher::uncompressBounded(huge, &plain));
    EXPECT_TRUE(plain.isEmpty());

    // A small declared size over a stream that inflates beyond the cap: stopped at the cap.
    const QByteArray zeros(FirmwareCipher::kMaxPlainTextSize + 1024, '\0');
    QByteArray bomb = qCompress(zeros, 9);
    qToBigEndian<quint32>(1024u, bomb.data());
    EXPECT_FALSE(FirmwareCipher::uncompressBounded(bomb, &plain));

    const QByteArray good = qCompress(randomBytes(5000, 3));
    EXPECT_FALSE(FirmwareCipher::uncompressBounded(good.left(good.size() / 2), &plain));
    QByteArray corrupt = good;
    corrupt[10] = char(corrupt[10] ^ 0xFF);
    corrupt[11] = char(corrupt[11] ^ 0xFF);
    EXPECT_FALSE(FirmwareCipher::uncompressBounded(corrupt, &plain));
    EXPECT_FALSE(FirmwareCipher::uncompressBounded(QByteArray("\0\0\0", 3), &plain));
    EXPECT_TRUE(FirmwareCipher::uncompressBounded(QByteArray("\0\0\0\0", 4), &plain));

    // Through the cipher a corrupt compressed payload is an empty result, not an error code.
    FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
    const QByteArray container = packer.encrypt(huge, 0);
    QByteArray withFlag = container;
    withFlag[1] = char(FirmwareCipher::FlagCompressed);
    EXPECT_TRUE(cipher.decrypt(withFlag).isEmpty());
    EXPECT_EQ(cipher.lastError(), FirmwareCipher::ErrorNone);
}

struct RefusedContainer
{
    const char* what;
    QByteArray container;
    const char* warning;
};

// A command line prints whatever reaches Qt's message log on standard error, whatever its log level: the
// reader's warnings go to its named logger instead, like every other layer's.
TEST(FirmwareCipherWarnings, GoToTheNamedLoggerNotToQtsMessageLog)
{
    static QStringList qtMessages;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { qtMessages << text; });
    LogCapture log; // before the cipher's logger exists
    FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    QByteArray corrupt = packer.encrypt(QByteArray("\0\0\0\x20not a zlib stream", 21), 0);
    corrupt[1] = char(FirmwareCipher::FlagCompressed);
    const RefusedContainer cases[] = {
        {"not a cyphertext", QByteArray("\x07junk"), "Invalid version or not a cyphertext."},
        {"corrupt compressed payload", corrupt, "Compressed payload is corrupt or too large."},
    };
    for (const RefusedContainer& refused : cases) {
        qtMessages.clear();
        log.clear();
        FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
        EXPECT_TRUE(cipher.decrypt(refused.container).isEmpty()) << refused.what;
        EXPECT_TRUE(qtMessages.isEmpty()) << refused.what << ": " << qtMessages.join('|').toStdString();
        EXPECT_EQ(log.count(QStringLiteral("FirmwareCipher: ") + QLatin1String(refused.warning)), 1)
            << refused.what << ": " << log.lines().join('|').toStdString();
    }
    qInstallMessageHandler(previous);
}

} // namespace
