#include "app/cli/firmwarefilereport.h"

#include "app/cli/cliconsole.h"
#include "app/cli/clifiles.h"
#include "app/cli/clireport.h"
#include "app/cli/clitext.h"
#include "firmware/firmwareinfo.h"
#include "firmware/firmwareloader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

int FirmwareFileReport::show(const QString& path, CliConsole& console, CliReport& report)
{
    report.insert(QStringLiteral("file"), path);
    CliText reason;
    if (!CliFiles::canRead(path, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }
    FirmwareInfo info;
    const QByteArray image = loadFirmware(path, &info, nullptr);
    if (image.isEmpty()) {
        return report.fail(
            CliExitCode::Refused,
            CliText::translate("FirmwareFileReport", "%1 is not a firmware file this tool can decipher.")
                .arg(QDir::toNativeSeparators(path)));
    }
    const QByteArray md5 = QCryptographicHash::hash(image, QCryptographicHash::Md5);
    const bool hashMatches = md5 == info.md5;
    const bool offsetValid = info.offset >= 0 && info.offset < image.size();
    const int bytesSent = offsetValid ? image.size() - info.offset : 0;

    report.insert(
        QStringLiteral("firmware"),
        QJsonObject{{QStringLiteral("version"), info.firmwareVersion},
                    {QStringLiteral("developVersion"), info.developVersion},
                    {QStringLiteral("type"), info.type},
                    {QStringLiteral("supportedHardware"), QJsonArray::fromStringList(info.supportedHardware)},
                    {QStringLiteral("createdAt"), info.createdAt},
                    {QStringLiteral("changelog"), info.changelog},
                    {QStringLiteral("md5"), QString::fromLatin1(info.md5.toHex())},
                    {QStringLiteral("hashMatches"), hashMatches},
                    {QStringLiteral("imageSize"), image.size()},
                    {QStringLiteral("offset"), info.offset},
                    {QStringLiteral("bytesSent"), bytesSent}});

    const QList<QPair<QString, QString>> rows{
        {tr("Version"),
         info.developVersion ? tr("%1 (develop)").arg(info.firmwareVersion) : info.firmwareVersion},
        {tr("Type"), info.type},
        {tr("Supported hardware"), info.supportedHardware.join(QStringLiteral(", "))},
        {tr("Created"), info.createdAt},
        {tr("Image"), tr("%n bytes, offset %1, %2 bytes sent", nullptr, int(image.size()))
                          .arg(info.offset)
                          .arg(bytesSent)},
        {tr("MD5"), QStringLiteral("%1 (%2)").arg(QString::fromLatin1(info.md5.toHex()),
                                                  hashMatches ? tr("matches") : tr("WRONG"))},
    };
    // The values line up behind the longest heading of the language.
    int width = 20;
    for (const auto& row : rows) {
        width = std::max(width, int(row.first.size()) + 2);
    }
    for (const auto& row : rows) {
        console.print((row.first + QLatin1Char(':')).leftJustified(width) + row.second);
    }
    if (!info.changelog.isEmpty()) {
        console.print(tr("Changelog:"));
        for (const QString& line : info.changelog.split(QLatin1Char('\n'))) {
            console.print(QStringLiteral("  ") + line);
        }
    }
    if (!hashMatches) {
        return report.fail(CliExitCode::Refused,
                           CliText::translate("FirmwareFileReport",
                                              "The image does not match the file's MD5 hash; "
                                              "an update would refuse it."));
    }
    if (!offsetValid) {
        return report.fail(
            CliExitCode::Refused,
            CliText::translate(
                "FirmwareFileReport",
                "The file's offset %1 lies outside its %2-byte image; an update would refuse it.")
                .arg(info.offset)
                .arg(image.size()));
    }
    return report.exitCode();
}
