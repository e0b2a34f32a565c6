#pragma once

#include <QByteArray>
#include <QString>

// The settings file as support may see it: every value of a key named like a password, secret or token,
// and a password inside a URL or a connection string, is replaced by "<removed>". Works on the INI text
// line by line, so that everything else reaches support exactly as written.
class SettingsRedaction
{
public:
    static QByteArray redact(const QByteArray& iniText);
    // True for a key (group and name, as the INI file writes it) that names a secret.
    static bool isSecretKey(const QString& key);
    // `value` with any password inside it removed: "postgres://user:pw@host/db" keeps user and host,
    // "host=db password=pw" keeps the host.
    static QString redactValue(const QString& value);

    static const char* const kRemoved;
};
