#pragma once

#include "records/recordsaddress.h"
#include "records/serviceevent.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// One connection to a records database (SQLite or PostgreSQL, the same schema): opens it, brings its
// schema forward, writes events and reads them back. A database of a newer schema than this tool knows
// is opened read-only. Every statement is prepared; values are bound, never pasted into SQL. Belongs to
// the thread that opened it (a Qt SQL connection does).
class RecordStore
{
public:
    // Result codes: 0 done, negative failure, positive warning.
    static constexpr int kOk = 0;
    static constexpr int kOpenedReadOnly = 1;
    static constexpr int kNoDriver = -1;
    static constexpr int kOpenFailed = -2;
    static constexpr int kMigrationFailed = -3;
    static constexpr int kReadOnly = -4;
    static constexpr int kWriteFailed = -5;
    static constexpr int kNotOpen = -6;

    // The schema this tool writes. 1: the events table; 2: indexes for serial and time, and the outbox.
    static constexpr int kSchemaVersion = 2;

    // What to read: every field optional; newest first.
    struct Filter
    {
        QString serial;
        QString operation;
        QDateTime since;
        int limit = 0;  // 0: no limit
        int offset = 0; // with a limit: rows skipped, for reading a long history a page at a time
    };

    RecordStore();
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Opens, creates or migrates; kOpenedReadOnly for a newer schema (errorText() says so).
    int open(const RecordsAddress& address);
    void close();
    bool isOpen() const;
    bool isReadOnly() const { return m_readOnly; }
    int schemaVersion() const { return m_schemaVersion; }
    const RecordsAddress& address() const { return m_address; }
    // The last failure or warning in plain words, with the database named (never a password).
    QString errorText() const { return m_error; }

    // Adds the event unless one with its id is there already (so a resend after a lost answer is harmless).
    int insert(const ServiceEvent& event);
    QList<ServiceEvent> find(const Filter& filter) const;
    QList<ServiceEvent> bySerial(const QString& serial, const QString& operation = QString()) const;
    QList<ServiceEvent> since(const QDateTime& from) const;
    // Serials containing `fragment` (case-insensitive), the most recently seen first.
    QStringList searchSerials(const QString& fragment, int limit = 100) const;
    // Every event in the order it was stored.
    QList<ServiceEvent> inStoredOrder() const;
    qint64 count() const;
    // How many events find() would give without a limit (-1 when the database cannot be read).
    qint64 count(const Filter& filter) const;

    // The outbox of a local file: events for a shared server that could not be reached, in order.
    int pushOutbox(const ServiceEvent& event);
    // Up to `limit` of the oldest, with their outbox positions for removeOutbox().
    QList<ServiceEvent> outboxHead(int limit, QList<qint64>* positions) const;
    int removeOutbox(qint64 position);
    qint64 outboxCount() const;

private:
    bool exec(const QString& sql, const QVariantList& values = {}) const;
    bool define(const QString& sql) const;
    int migrate();
    int fail(int code, const QString& what, const QString& detail = QString());
    static QString where(const Filter& filter, QVariantList* values);
    QList<ServiceEvent> read(const QString& sql, const QVariantList& values) const;
    int write(const QString& table, const ServiceEvent& event);

    QString m_connection;
    QSqlDatabase m_db;
    RecordsAddress m_address;
    bool m_readOnly = false;
    int m_schemaVersion = 0;
    mutable QString m_error;
};
