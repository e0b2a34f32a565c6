#pragma once

#include "records/recordsaddress.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>

// A fresh records database for one test or benchmark: an SQLite file in a temporary folder, or a
// database of its own on the PostgreSQL server tools/with-postgres.sh gives in SERVICE_TEST_POSTGRES.
class RecordsBackend
{
public:
    // Empty when no server was given: a PostgreSQL case then skips and says why.
    static QString serverUrl() { return qEnvironmentVariable("SERVICE_TEST_POSTGRES"); }
    static constexpr const char* kNoServer =
        "no PostgreSQL server given (run under tools/with-postgres.sh, which sets SERVICE_TEST_POSTGRES)";

    explicit RecordsBackend(bool postgres) : m_postgres(postgres) {}
    ~RecordsBackend()
    {
        if (!m_database.isEmpty()) {
            admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
        }
    }

    // A new, empty database; false (with the reason in error()) when it cannot be had.
    bool create()
    {
        if (!m_postgres) {
            m_address = RecordsAddress::sqlite(m_folder.filePath(QStringLiteral("records.sqlite")));
            return m_folder.isValid();
        }
        static QAtomicInt counter;
        m_database = QStringLiteral("records_%1_%2")
                         .arg(QCoreApplication::applicationPid())
                         .arg(counter.fetchAndAddRelaxed(1));
        if (!admin(QStringLiteral("CREATE DATABASE %1").arg(m_database))) {
            return false;
        }
        QString url = serverUrl();
        url.replace(QRegularExpression("/[^/?]*(\\?|$)"), QStringLiteral("/%1\\1").arg(m_database));
        QString error;
        return RecordsAddress::parse(url, &m_address, &error);
    }

    const RecordsAddress& address() const { return m_address; }
    // A local file beside the database: the outbox of a shared recorder.
    RecordsAddress local(const QString& name = QStringLiteral("local.sqlite")) const
    {
        return RecordsAddress::sqlite(m_folder.filePath(name));
    }
    QString folder() const { return m_folder.path(); }
    QString error() const { return m_error; }

    // Stops ("-m immediate stop") or starts the test server through SERVICE_TEST_POSTGRES_CTL.
    static bool control(const QString& action)
    {
        const QString ctl = qEnvironmentVariable("SERVICE_TEST_POSTGRES_CTL");
        if (ctl.isEmpty()) {
            return false;
        }
        return QProcess::execute("sh", {"-c", ctl + QStringLiteral(" -w ") + action + " >/dev/null"}) == 0;
    }

private:
    bool admin(const QString& statement)
    {
        const QString name = QStringLiteral("records-admin");
        bool ok = false;
        {
            RecordsAddress server;
            QString error;
            RecordsAddress::parse(serverUrl(), &server, &error);
            QSqlDatabase db = QSqlDatabase::addDatabase(server.driverName(), name);
            server.applyTo(db);
            QSqlQuery query(db);
            ok = db.open() && query.exec(statement);
            m_error = ok ? QString() : db.lastError().text() + query.lastError().text();
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }

    const bool m_postgres;
    QTemporaryDir m_folder;
    QString m_database;
    RecordsAddress m_address;
    QString m_error;
};
