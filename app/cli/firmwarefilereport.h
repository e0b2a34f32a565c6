#pragma once

#include <QCoreApplication>
#include <QString>

class CliConsole;
class CliReport;

// "firmware show": a firmware file's header and whether the file would pass the update's own checks of
// the file (it deciphers, its hash matches, its offset lies inside the image). Needs no instrument; the
// hardware revision can only be checked against one.
class FirmwareFileReport
{
    Q_DECLARE_TR_FUNCTIONS(FirmwareFileReport)

public:
    // Exit 0 when the file passes, 4 when it cannot be read, 5 when a check refuses it.
    static int show(const QString& path, CliConsole& console, CliReport& report);
};
