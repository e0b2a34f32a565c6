#include "firmware/firmwarecipher.h"
#include "firmware/firmwareloader.h"
#include "firmwarefiles.h"
#include "tools/firmwarepacker.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FirmwareLoaderTest : public ::testing::Test
{
protected:
    QString write(const QString& name, const QByteArray& content) { return files.write(name, content); }
    QString writeJson(const QJsonObject& document, quint8 flags = FirmwareCipher::FlagHash)
    {
        return write("doc.firmware", packer.packJson(document, flags));
    }

    FirmwareFiles files;
    FirmwarePacker& packer = files.packer;
    QTemporaryDir& dir = files.dir;
};

TEST_F(FirmwareLoaderTest, RoundTripsImageAndHeaderForEveryFlagCombination)
{
    QByteArray image(70000, '\0');
    for (int i = 0; i < image.size(); ++i) {
        image[i] = char((i * 31 + i / 256) & 0xFF);
    }
    FirmwareInfo written;
    written.firmwareVersion = "2.4.1";
    written.developVersion = true;
    written.changelog = "Fixes ü and ß";
    written.type = "TBX-CU";
    written.supportedHardware = QStringList{"B1", "C2"};
    written.createdAt = "2026-11-30T10:00:00Z";
    written.offset = 4096;

    for (int flags = 0; flags < 8; ++flags) {
        const QString path = write(QStringLiteral("f%1.firmware").arg(flags),
                                   packer.packFirmware(image, written, quint8(flags)));
        FirmwareInfo info;
        QJsonObject rest;
        EXPECT_EQ(loadFirmware(path, &info, &rest), image) << "flags " << flags;
        EXPECT_EQ(info.firmwareVersion, written.firmwareVersion);
        EXPECT_TRUE(info.developVersion);
        EXPECT_EQ(info.changelog, written.changelog);
        EXPECT_EQ(info.type, written.type);
        EXPECT_EQ(info.supportedHardware, written.supportedHardware);
        EXPECT_EQ(info.md5, QCryptographicHash::hash(image, QCryptographicHash::Md5));
        EXPECT_EQ(info.createdAt, written.createdAt);
        EXPECT_EQ(info.offset, 4096);
        EXPECT_FALSE(rest.contains("Firmware"));
        EXPECT_EQ(rest.value("FirmwareVersion").toString(), written.firmwareVersion);
        EXPECT_EQ(rest.size(), 8);
    }
}

TEST_F(FirmwareLoaderTest, ConvertsHeaderFieldsAndDefaults)
{
    QJsonObject document;
    document.insert("SupportedHardware", QJsonArray{3, 1.5, "ALL", true, QJsonValue::Null});
    document.insert("Firmware", QString::fromLatin1(QByteArray("image").toBase64()));
    FirmwareInfo info;
    info.supportedHardware = QStringList{"stale"};
    info.offset = 99;
    info.developVersion = true;
    EXPECT_EQ(loadFirmware(writeJson(document), &info, nullptr), QByteArray("image"));
    EXPECT_EQ(info.supportedHardware, (QStringList{"3", "1.5", "ALL", "true", QString()}));
    EXPECT_EQ(info.offset, 0);
    EXPECT_FALSE(info.developVersion);
    EXPECT_TRUE(info.md5.isEmpty());

    // Offsets that are no int give 0; a negative one is kept for the update to refuse.
    for (const auto& [value, expected] : {std::pair<QJsonValue, int>{QJsonValue(-5), -5},
                                          {QJsonValue(2.5), 0},
                                          {QJsonValue(1e12), 0},
                                          {QJsonValue("12"), 0}}) {
        document.insert("Offset", value);
        loadFirmware(writeJson(document), &info, nullptr);
        EXPECT_EQ(info.offset, expected);
    }
}

TEST_F(FirmwareLoaderTest, DecodesImagesOfEveryLengthAndLenientBase64LikeQt)
{
    for (int size : {0, 1, 2, 3, 4, 5, 760, 761}) {
        const QByteArray image = QByteArray(size, '\xA5') + QByteArray::number(size);
        FirmwareInfo info;
        EXPECT_EQ(loadFirmware(write("n.firmware", packer.packFirmware(image, info, 0)), &info, nullptr),
                  image)
            << size;
    }
    // Base64 as some other writer might produce it: line breaks, no padding, stray characters, URL alphabet.
    const QByteArray image("\x00\x01\xFE\xFF"
                           "firmware image\x7F",
                           19);
    const QString base64 = QString::fromLatin1(image.toBase64());
    for (const QString& text : QStringList{
             base64.left(12) + "\n" + base64.mid(12), base64.left(base64.size() - 1), "*" + base64,
             base64 + "====", "a-_b" + base64, QString::fromUtf8("\u00e9") + base64, "====", "A==="}) {
        QJsonObject document{{"Firmware", text}};
        EXPECT_EQ(loadFirmware(writeJson(document), nullptr, nullptr), QByteArray::fromBase64(text.toUtf8()))
            << text.toStdString();
    }
}

TEST_F(FirmwareLoaderTest, MissingOrNonStringImageGivesEmptyImageButKeepsHeader)
{
    QJsonObject document{{"FirmwareVersion", "1.0"}};
    FirmwareInfo info;
    QJsonObject rest;
    EXPECT_TRUE(loadFirmware(writeJson(document), &info, &rest).isEmpty());
    EXPECT_EQ(info.firmwareVersion, "1.0");
    EXPECT_EQ(rest, document);

    document.insert("Firmware", 12345);
    EXPECT_TRUE(loadFirmware(writeJson(document), &info, &rest).isEmpty());
    EXPECT_FALSE(rest.contains("Firmware"));
}

TEST_F(FirmwareLoaderTest, FilesThatAreNoFirmwareGiveEmptyResults)
{
    FirmwareInfo untouched;
    untouched.firmwareVersion = "keep";
    EXPECT_TRUE(loadFirmware(QString(), &untouched, nullptr).isEmpty());
    EXPECT_TRUE(loadFirmware(dir.filePath("missing"), &untouched, nullptr).isEmpty());
    EXPECT_EQ(untouched.firmwareVersion, "keep");
    EXPECT_TRUE(loadFirmware(dir.path(), &untouched, nullptr).isEmpty());
    EXPECT_TRUE(loadFirmware("/dev/zero", &untouched, nullptr).isEmpty());
    EXPECT_EQ(untouched.firmwareVersion, "keep");

    const QByteArray good = packer.packFirmware("image bytes", FirmwareInfo{}, FirmwareCipher::FlagHash);
    const QByteArray plainJson =
        QJsonDocument(FirmwarePacker::firmwareDocument("image", FirmwareInfo{})).toJson();
    for (const QByteArray& content : {QByteArray(), QByteArray("\x03"), good.left(good.size() - 1),
                                      QByteArray(4096, '\x03'), plainJson, packer.encrypt("not json", 0)}) {
        FirmwareInfo info;
        info.firmwareVersion = "stale";
        QJsonObject rest{{"stale", 1}};
        EXPECT_TRUE(loadFirmware(write("bad.firmware", content), &info, &rest).isEmpty());
        EXPECT_TRUE(info.firmwareVersion.isEmpty());
        EXPECT_TRUE(rest.isEmpty());
    }
}

} // namespace
