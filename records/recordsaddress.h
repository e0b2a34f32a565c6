#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Where the service records live: an SQLite file (the default, in the application-data folder) or a
// shared PostgreSQL server, named in the settings by a URL without password or by a libpq service
// name. The password is left to libpq's own sources (~/.pgpass, the service file, PGPASSWORD), so
// nothing this class holds or prints is secret.
class RecordsAddress
{
public:
    enum class Kind
    {
        Sqlite,
        Postgres
    };

    // The local file: records.sqlite in the application-data folder.
    static RecordsAddress localDefault();
    static RecordsAddress sqlite(const QString& path);
    // `[Records] database=`: empty for localDefault(); "postgresql://user@host:port/db?sslmode=..."; a
    // libpq service name ("service=NAME" or a bare NAME); an absolute path for an SQLite file. False
    // with the reason in `error` for a URL that carries a password or cannot be read.
    static bool parse(const QString& setting, RecordsAddress* address, QString* error);

    Kind kind() const { return m_kind; }
    bool isShared() const { return m_kind == Kind::Postgres; }
    QString path() const { return m_path; }
    // "postgresql://tester@127.0.0.1:5432/postgres", "service=records" or the file path: for messages.
    QString displayText() const;

    // The Qt driver name and the connection parameters put on `database`.
    QString driverName() const;
    void applyTo(QSqlDatabase& database) const;

private:
    Kind m_kind = Kind::Sqlite;
    QString m_path;
    QString m_host;
    int m_port = -1;
    QString m_user;
    QString m_database;
    QString m_service;
    QStringList m_options; // libpq "key=value" pairs
};
