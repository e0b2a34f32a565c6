#include "records/recordsaddress.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace {
// An unreachable server must not hold the recorder's thread for long: its events go to the outbox.
const QString kConnectTimeout = QStringLiteral("connect_timeout=5");
} // namespace

RecordsAddress RecordsAddress::localDefault()
{
    const QDir dataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return sqlite(dataDir.absoluteFilePath(QStringLiteral("records.sqlite")));
}

RecordsAddress RecordsAddress::sqlite(const QString& path)
{
    RecordsAddress address;
    address.m_kind = Kind::Sqlite;
    address.m_path = path;
    return address;
}

bool RecordsAddress::parse(const QString& setting, RecordsAddress* address, QString* error)
{
    const QString text = setting.trimmed();
    if (text.isEmpty()) {
        *address = localDefault();
        return true;
    }
    if (text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://"))) {
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty()) {
            *error = QStringLiteral("The records database address is not a valid postgresql:// URL.");
            return false;
        }
        if (!url.password().isEmpty()) {
            *error =
                QStringLiteral("The records database address holds a password; it belongs in ~/.pgpass, a "
                               "libpq service file or PGPASSWORD, not in the settings file.");
            return false;
        }
        RecordsAddress result;
        result.m_kind = Kind::Postgres;
        result.m_host = url.host();
        result.m_port = url.port(-1);
        result.m_user = url.userName();
        result.m_database = url.path().mid(1);
        const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
        for (const auto& item : items) {
            static const QRegularExpression key(QStringLiteral("^[a-z_]+$"));
            if (!key.match(item.first).hasMatch() || item.first == QLatin1String("password") ||
                item.second.contains(QLatin1Char(' ')) || item.second.contains(QLatin1Char(';'))) {
                *error = QStringLiteral("The records database address has an option that cannot be used: %1.")
                             .arg(item.first);
                return false;
            }
            result.m_options << item.first + QLatin1Char('=') + item.second;
        }
        *address = result;
        return true;
    }
    static const QRegularExpression service(QStringLiteral("^(?:service=)?([A-Za-z0-9_.-]+)$"));
    const QRegularExpressionMatch match = service.match(text);
    if (match.hasMatch() && !text.endsWith(QLatin1String(".sqlite")) &&
        !text.endsWith(QLatin1String(".db"))) {
        RecordsAddress result;
        result.m_kind = Kind::Postgres;
        result.m_service = match.captured(1);
        *address = result;
        return true;
    }
    if (QDir::isAbsolutePath(text)) {
        *address = sqlite(text);
        return true;
    }
    *error =
        QStringLiteral("The records database \"%1\" is neither a postgresql:// URL, a service name nor an "
                       "absolute file path.")
            .arg(text);
    return false;
}

QString RecordsAddress::displayText() const
{
    if (m_kind == Kind::Sqlite) {
        return QDir::toNativeSeparators(m_path);
    }
    if (!m_service.isEmpty()) {
        return QStringLiteral("service=%1").arg(m_service);
    }
    QString text = QStringLiteral("postgresql://");
    if (!m_user.isEmpty()) {
        text += m_user + QLatin1Char('@');
    }
    text += m_host.contains(QLatin1Char(':')) ? QLatin1Char('[') + m_host + QLatin1Char(']') : m_host;
    if (m_port >= 0) {
        text += QLatin1Char(':') + QString::number(m_port);
    }
    text += QLatin1Char('/') + m_database;
    if (!m_options.isEmpty()) {
        text += QLatin1Char('?') + m_options.join(QLatin1Char('&'));
    }
    return text;
}

QString RecordsAddress::driverName() const
{
    return m_kind == Kind::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

void RecordsAddress::applyTo(QSqlDatabase& database) const
{
    if (m_kind == Kind::Sqlite) {
        database.setDatabaseName(m_path);
        // A second station or process writing the same file waits for the lock instead of failing.
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        return;
    }
    QStringList options = m_options;
    if (!m_service.isEmpty()) {
        options.prepend(QStringLiteral("service=") + m_service);
    }
    if (!std::any_of(options.cbegin(), options.cend(), [](const QString& option) {
            return option.startsWith(QLatin1String("connect_timeout="));
        })) {
        options << kConnectTimeout;
    }
    if (!std::any_of(options.cbegin(), options.cend(),
                     [](const QString& option) { return option.startsWith(QLatin1String("options=")); })) {
        // The server's notices ("relation ... already exists, skipping") would go to standard error.
        options << QStringLiteral("options=-cclient_min_messages=warning");
    }
    database.setHostName(m_host);
    if (m_port >= 0) {
        database.setPort(m_port);
    }
    database.setUserName(m_user);
    database.setDatabaseName(m_database);
    database.setConnectOptions(options.join(QLatin1Char(';')));
}
