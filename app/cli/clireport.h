#pragma once

#include "app/cli/cliexitcode.h"
#include "app/cli/clitext.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// The outcome of one service-cli command: its exit code, the reason of a failure (with the job's result
// code when an instrument job failed) and the command's own fields. Becomes the one JSON document of
// --json:
//   {"command": "info", "ok": true, "exitCode": 0, "device": {...}, ...}
//   {"command": "reset", "ok": false, "exitCode": 3, "error": "...", "result": -9, ...}
// The first failure stands; later ones do not overwrite it.
class CliReport
{
public:
    explicit CliReport(const QString& command = QString());

    void setCommand(const QString& command) { m_command = command; }
    QString command() const { return m_command; }

    // Adds or replaces a command field ("device", "file", …).
    void insert(const QString& key, const QJsonValue& value);
    QJsonValue value(const QString& key) const { return m_fields.value(key); }

    // Records the failure and returns its exit code, so that a command can `return report.fail(...)`.
    int fail(CliExitCode code, const CliText& message, std::optional<int> result = std::nullopt);

    bool ok() const { return m_exitCode == CliExitCode::Done; }
    int exitCode() const { return int(m_exitCode); }
    // The failure in English, as the JSON document and the log carry it.
    QString error() const { return m_error.english(); }
    // The failure in the user's language, for the console.
    QString shownError() const { return m_error.shown(); }
    std::optional<int> result() const { return m_result; }

    QJsonObject toJson() const;

private:
    QString m_command;
    QJsonObject m_fields;
    CliExitCode m_exitCode = CliExitCode::Done;
    CliText m_error;
    std::optional<int> m_result;
};
