#pragma once

#include <QByteArray>
#include <QString>

#include "app/cli/clitext.h"

// The command line's file checks and writes. Checks run before an instrument is asked for anything, so
// that a typo in a path costs no transfer; writes go through QSaveFile, so that a failed write leaves no
// half-written file and an existing file as it was.
class CliFiles
{
public:
    // A regular file that can be opened for reading; false with the reason.
    static bool canRead(const QString& path, CliText* reason);
    // A file can be created or replaced at `path` (its folder exists and takes files, and `path` is not a
    // folder or a read-only file); false with the reason.
    static bool canWrite(const QString& path, CliText* reason);
    // Writes `bytes` as the whole new content of `path`; false with the reason.
    static bool write(const QString& path, const QByteArray& bytes, CliText* reason);
};
