#include "app/cli/firmwarefilereport.h"

#include "app/cli/cliconsole.h"
#include "app/cli/clifiles.h"
#include "app/cli/clireport.h"
#include "firmware/firmwareinfo.h"
#include "firmware/firmwareloader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

int FirmwareFileReport::show(const QString& path, CliConsole& console, CliReport& report)
{
    report.insert(QStringLiteral("file"), path);
    QString reason;
    if (!CliFiles::canRead(path, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }
    FirmwareInfo info;
    const QByteArray image = loadFirmware(path, &info, nullptr);
    if (image.isEmpty()) {
        return report.fail(CliExitCode::Refused,
                           QStringLiteral("%1 is not a firmware file this tool can decipher.")
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
        {QStringLiteral("Version"),
         info.firmwareVersion + (info.developVersion ? QStringLiteral(" (develop)") : QString())},
        {QStringLiteral("Type"), info.type},
        {QStringLiteral("Supported hardware"), info.supportedHardware.join(QStringLiteral(", "))},
        {QStringLiteral("Created"), info.createdAt},
        {QStringLiteral("Image"), QStringLiteral("%1 bytes, offset %2, %3 bytes sent")
                                      .arg(image.size())
                                      .arg(info.offset)
                                      .arg(bytesSent)},
        {QStringLiteral("MD5"),
         QStringLiteral("%1 (%2)").arg(QString::fromLatin1(info.md5.toHex()),
                                       hashMatches ? QStringLiteral("matches") : QStringLiteral("WRONG"))},
    };
    for (const auto& row : rows) {
        console.print(QStringLiteral("%1%2").arg(row.first + QLatin1Char(':'), -20).arg(row.second));
    }
    if (!info.changelog.isEmpty()) {
        console.print(QStringLiteral("Changelog:"));
        for (const QString& line : info.changelog.split(QLatin1Char('\n'))) {
            console.print(QStringLiteral("  ") + line);
        }
    }
    if (!hashMatches) {
        return report.fail(CliExitCode::Refused,
                           QStringLiteral("The image does not match the file's MD5 hash; an "
                                          "update would refuse it."));
    }
    if (!offsetValid) {
        return report.fail(
            CliExitCode::Refused,
            QStringLiteral("The file's offset %1 lies outside its %2-byte image; an update would refuse it.")
                .arg(info.offset)
                .arg(image.size()));
    }
    return report.exitCode();
}
