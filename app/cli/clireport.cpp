#include "app/cli/clireport.h"

CliReport::CliReport(const QString& command) : m_command(command) {}

void CliReport::insert(const QString& key, const QJsonValue& value)
{
    m_fields.insert(key, value);
}

int CliReport::fail(CliExitCode code, const CliText& message, std::optional<int> result)
{
    if (m_exitCode == CliExitCode::Done && code != CliExitCode::Done) {
        m_exitCode = code;
        m_error = message;
        m_result = result;
    }
    return int(m_exitCode);
}

QJsonObject CliReport::toJson() const
{
    QJsonObject object = m_fields;
    // The fixed keys come last so that no command field can shadow them.
    object.insert(QStringLiteral("command"), m_command.isEmpty() ? QJsonValue() : QJsonValue(m_command));
    object.insert(QStringLiteral("ok"), ok());
    object.insert(QStringLiteral("exitCode"), exitCode());
    if (!ok()) {
        object.insert(QStringLiteral("error"), m_error.english());
        if (m_result) {
            object.insert(QStringLiteral("result"), *m_result);
        }
    }
    return object;
}
