// firmware-packer: the release engineer's tool that writes enciphered firmware files and option
// description files, and deciphers either for inspection.
//
//   firmware-packer firmware --image app.bin --output app.firmware --version 2.1.0 --hardware B1 --hardware
//   B2 firmware-packer options --input options.json --output file.options firmware-packer decrypt --input
//   app.firmware --output app.json
//
// Exit code 0 on success, 1 on bad arguments or unreadable input, 2 when the output cannot be written.

#include "core/loggerfactory.h"
#include "firmware/firmwarecipher.h"
#include "tools/firmwarepacker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

#include <spdlog/spdlog.h>

#include <cstdio>

namespace {
constexpr quint8 kDefaultFlags = FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash;

bool readFile(const QString& path, QByteArray* content)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Can't read %s\n", qPrintable(path));
        return false;
    }
    *content = file.readAll();
    return true;
}

bool parseFlags(const QString& text, quint8* flags)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);
    if (!ok || value > 7) {
        std::fprintf(stderr, "--flags takes 0..7 (1 compressed, 2 checksum, 4 SHA-1)\n");
        return false;
    }
    *flags = quint8(value);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("firmware-packer"));
    LoggerFactory::instance()->init(spdlog::level::info, QString());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes enciphered firmware and option description files."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("mode"), QStringLiteral("firmware, options or decrypt"));
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("Raw firmware image."),
                                   QStringLiteral("file"));
    const QCommandLineOption input(QStringLiteral("input"), QStringLiteral("Input file (options, decrypt)."),
                                   QStringLiteral("file"));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("File to write."),
                                    QStringLiteral("file"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("FirmwareVersion."),
                                     QStringLiteral("text"));
    const QCommandLineOption develop(QStringLiteral("develop"), QStringLiteral("Mark as develop version."));
    const QCommandLineOption changelog(QStringLiteral("changelog"), QStringLiteral("Changelog text."),
                                       QStringLiteral("text"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("Type."), QStringLiteral("text"));
    const QCommandLineOption hardware(QStringLiteral("hardware"),
                                      QStringLiteral("Supported hardware revision (repeat; ALL for any)."),
                                      QStringLiteral("revision"));
    const QCommandLineOption offset(QStringLiteral("offset"),
                                    QStringLiteral("Leading image bytes not sent to the instrument."),
                                    QStringLiteral("bytes"), QStringLiteral("0"));
    const QCommandLineOption createdAt(QStringLiteral("created-at"),
                                       QStringLiteral("CreatedAt text (default: now, ISO 8601)."),
                                       QStringLiteral("text"));
    const QCommandLineOption flags(QStringLiteral("flags"),
                                   QStringLiteral("Container flags 0..7: 1 compressed, 2 checksum, 4 SHA-1."),
                                   QStringLiteral("n"), QString::number(kDefaultFlags));
    parser.addOptions(
        {image, input, output, version, develop, changelog, type, hardware, offset, createdAt, flags});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    const QString mode = positional.value(0);
    quint8 flagBits = 0;
    if (positional.size() != 1 || !parseFlags(parser.value(flags), &flagBits) || !parser.isSet(output)) {
        parser.showHelp(1);
    }

    FirmwarePacker packer(FirmwareCipher::kBuiltInKey);
    QByteArray result;
    if (mode == QLatin1String("firmware")) {
        QByteArray raw;
        if (!readFile(parser.value(image), &raw)) {
            return 1;
        }
        FirmwareInfo info;
        info.firmwareVersion = parser.value(version);
        info.developVersion = parser.isSet(develop);
        info.changelog = parser.value(changelog);
        info.type = parser.value(type);
        info.supportedHardware = parser.values(hardware);
        bool ok = false;
        info.offset = parser.value(offset).toInt(&ok);
        if (!ok || info.offset < 0 || info.offset >= raw.size()) {
            std::fprintf(stderr, "--offset must lie inside the image (0..%d)\n", int(raw.size()) - 1);
            return 1;
        }
        info.createdAt = parser.isSet(createdAt) ? parser.value(createdAt)
                                                 : QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        result = packer.packFirmware(raw, info, flagBits);
    } else if (mode == QLatin1String("options")) {
        QByteArray text;
        if (!readFile(parser.value(input), &text)) {
            return 1;
        }
        QJsonParseError error{};
        QJsonDocument::fromJson(text, &error);
        if (error.error != QJsonParseError::NoError) {
            std::fprintf(stderr, "Not valid JSON at offset %d: %s\n", error.offset,
                         qPrintable(error.errorString()));
            return 1;
        }
        result = packer.encrypt(text, flagBits);
    } else if (mode == QLatin1String("decrypt")) {
        QByteArray content;
        if (!readFile(parser.value(input), &content)) {
            return 1;
        }
        FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
        result = cipher.decrypt(content);
        if (cipher.lastError() != FirmwareCipher::ErrorNone || result.isEmpty()) {
            std::fprintf(stderr, "Can't decrypt %s (error %d)\n", qPrintable(parser.value(input)),
                         cipher.lastError());
            return 1;
        }
    } else {
        parser.showHelp(1);
    }
    return packer.save(parser.value(output), result) ? 0 : 2;
}
