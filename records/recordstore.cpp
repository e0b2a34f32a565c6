#include "records/recordstore.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
const QString kColumns = QStringLiteral("id, time, station, os_user, tool_version, interface, operation, "
                                        "serial, kind, usb_id, result, message, details");
const QString kPlaceholders = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ");

// The events table and the outbox share their columns; only the key column differs between the drivers.
QString eventTable(const QString& name, bool postgres)
{
    return QStringLiteral("CREATE TABLE %1 (seq %2 PRIMARY KEY, id TEXT NOT NULL UNIQUE, time TEXT NOT NULL, "
                          "station TEXT NOT NULL, os_user TEXT NOT NULL, tool_version TEXT NOT NULL, "
                          "interface TEXT NOT NULL, operation TEXT NOT NULL, serial TEXT NOT NULL, "
                          "kind TEXT NOT NULL, usb_id TEXT NOT NULL, result INTEGER NOT NULL, "
                          "message TEXT NOT NULL, details TEXT NOT NULL)")
        .arg(name, postgres ? QStringLiteral("BIGSERIAL") : QStringLiteral("INTEGER"));
}

// Forward migrations: entry N brings a database from version N to N + 1.
QStringList migration(int from, bool postgres)
{
    switch (from) {
    case 0:
        return {eventTable(QStringLiteral("events"), postgres)};
    case 1:
        return {QStringLiteral("CREATE INDEX events_serial_time ON events (serial, time)"),
                QStringLiteral("CREATE INDEX events_time ON events (time)"),
                eventTable(QStringLiteral("outbox"), postgres)};
    default:
        return {};
    }
}

// The stored time text, "2026-03-01T08:00:00.123Z", read without the general ISO parser, which took most
// of the time of reading a long history.
QDateTime parseTime(const QString& text)
{
    if (text.size() != 24 || text.at(23) != QLatin1Char('Z')) {
        return QDateTime::fromString(text, Qt::ISODateWithMs);
    }
    const QChar* c = text.constData();
    auto number = [c](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i) {
            value = value * 10 + (c[i].unicode() - '0');
        }
        return value;
    };
    return QDateTime(QDate(number(0, 4), number(5, 2), number(8, 2)),
                     QTime(number(11, 2), number(14, 2), number(17, 2), number(20, 3)), Qt::UTC);
}

QString text(const QString& value)
{
    // NOT NULL columns: an empty text is stored as such, never as NULL.
    return value.isNull() ? QStringLiteral("") : value;
}
} // namespace

RecordStore::RecordStore()
{
    static QAtomicInt counter;
    m_connection = QStringLiteral("records-%1").arg(counter.fetchAndAddRelaxed(1));
}

RecordStore::~RecordStore()
{
    close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::removeDatabase(m_connection);
    }
}

int RecordStore::fail(int code, const QString& what, const QString& detail)
{
    m_error = detail.isEmpty() ? QStringLiteral("Records database %1: %2").arg(m_address.displayText(), what)
                               : QStringLiteral("Records database %1: %2 (%3)")
                                     .arg(m_address.displayText(), what, detail.trimmed());
    return code;
}

int RecordStore::open(const RecordsAddress& address)
{
    close();
    m_address = address;
    m_readOnly = false;
    m_schemaVersion = 0;
    m_error.clear();
    if (!QSqlDatabase::isDriverAvailable(address.driverName())) {
        return fail(kNoDriver, QStringLiteral("the Qt driver %1 is not installed").arg(address.driverName()));
    }
    if (!QSqlDatabase::contains(m_connection)) {
        m_db = QSqlDatabase::addDatabase(address.driverName(), m_connection);
    } else {
        m_db = QSqlDatabase::database(m_connection, false);
    }
    if (m_db.driverName() != address.driverName()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        m_db = QSqlDatabase::addDatabase(address.driverName(), m_connection);
    }
    if (address.kind() == RecordsAddress::Kind::Sqlite) {
        // SQLite would report only "out of memory" for a folder that is not there.
        const QFileInfo file(address.path());
        if (!file.dir().exists() && !QDir().mkpath(file.absolutePath())) {
            return fail(kOpenFailed, QStringLiteral("its folder cannot be created"));
        }
    }
    address.applyTo(m_db);
    if (!m_db.open()) {
        const QString reason = m_db.lastError().text();
        m_db.close();
        return fail(kOpenFailed, QStringLiteral("cannot be opened"), reason);
    }
    if (address.kind() == RecordsAddress::Kind::Sqlite) {
        QSqlQuery query(m_db);
        // Readers are not blocked by a writer, and a commit costs one sync instead of two.
        if (!query.prepare(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec()) {
            const QString reason = query.lastError().text();
            close();
            return fail(kOpenFailed, QStringLiteral("cannot be opened for writing"), reason);
        }
    }
    const int migrated = migrate();
    if (migrated < 0) {
        close();
    }
    return migrated;
}

bool RecordStore::exec(const QString& sql, const QVariantList& values) const
{
    QSqlQuery query(m_db);
    if (!query.prepare(sql)) {
        m_error = query.lastError().text();
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    if (!query.exec()) {
        m_error = query.lastError().text();
        return false;
    }
    return true;
}

bool RecordStore::define(const QString& sql) const
{
    // PostgreSQL prepares only queries and data changes, not table definitions; these are fixed texts
    // without a value in them.
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        m_error = query.lastError().text();
        return false;
    }
    return true;
}

int RecordStore::migrate()
{
    const bool postgres = m_address.kind() == RecordsAddress::Kind::Postgres;
    // One station at a time creates or migrates: the others wait and find it done.
    const bool locked = postgres
                            ? m_db.transaction() && exec(QStringLiteral("SELECT pg_advisory_xact_lock(2020)"))
                            : exec(QStringLiteral("BEGIN IMMEDIATE"));
    auto rollback = [&](const QString& what) {
        const QString reason = m_error;
        postgres ? m_db.rollback() : exec(QStringLiteral("ROLLBACK"));
        return fail(kMigrationFailed, what, reason);
    };
    if (!locked) {
        return rollback(QStringLiteral("cannot be locked to check its schema"));
    }
    if (!define(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))) {
        return rollback(QStringLiteral("its schema version cannot be read"));
    }
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !query.exec() ||
        !query.next()) {
        m_error = query.lastError().text();
        return rollback(QStringLiteral("its schema version cannot be read"));
    }
    const bool fresh = query.value(0).isNull();
    const int version = query.value(0).toInt();
    query.finish();
    if (version > kSchemaVersion) {
        postgres ? m_db.rollback() : exec(QStringLiteral("ROLLBACK"));
        m_schemaVersion = version;
        m_readOnly = true;
        fail(kOpenedReadOnly,
             QStringLiteral(
                 "schema version %1 is newer than this tool knows (%2); it is opened read-only, and "
                 "events are kept back until a newer tool records them")
                 .arg(version)
                 .arg(kSchemaVersion));
        return kOpenedReadOnly;
    }
    for (int from = version; from < kSchemaVersion; ++from) {
        const QStringList statements = migration(from, postgres);
        for (const QString& statement : statements) {
            if (!define(statement)) {
                return rollback(QStringLiteral("cannot be migrated from schema version %1").arg(from));
            }
        }
    }
    const bool stamped =
        version == kSchemaVersion ||
        (fresh ? exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"), {kSchemaVersion})
               : exec(QStringLiteral("UPDATE schema_version SET version = ?"), {kSchemaVersion}));
    if (!stamped) {
        return rollback(QStringLiteral("its schema version cannot be written"));
    }
    if (!(postgres ? m_db.commit() : exec(QStringLiteral("COMMIT")))) {
        return rollback(QStringLiteral("its schema cannot be committed"));
    }
    m_schemaVersion = kSchemaVersion;
    return kOk;
}

void RecordStore::close()
{
    if (m_db.isValid()) {
        m_db.close();
    }
}

bool RecordStore::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

int RecordStore::write(const QString& table, const ServiceEvent& event)
{
    if (!isOpen()) {
        return fail(kNotOpen, QStringLiteral("is not open"));
    }
    if (m_readOnly) {
        return kReadOnly;
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (id) DO NOTHING")
                            .arg(table, kColumns, kPlaceholders);
    const QVariantList values{event.id.toString(QUuid::WithoutBraces),
                              event.time.toUTC().toString(kTimeFormat),
                              text(event.station),
                              text(event.user),
                              text(event.toolVersion),
                              text(event.interfaceName),
                              text(event.operation),
                              text(event.serial),
                              text(event.kind),
                              text(event.usbId),
                              event.result,
                              text(event.message),
                              event.details.isEmpty() ? QStringLiteral("{}") : event.details};
    if (!exec(sql, values)) {
        return fail(kWriteFailed, QStringLiteral("an event cannot be written"), m_error);
    }
    return kOk;
}

int RecordStore::insert(const ServiceEvent& event)
{
    return write(QStringLiteral("events"), event);
}

int RecordStore::pushOutbox(const ServiceEvent& event)
{
    return write(QStringLiteral("outbox"), event);
}

QList<ServiceEvent> RecordStore::read(const QString& sql, const QVariantList& values) const
{
    QList<ServiceEvent> events;
    if (!isOpen()) {
        return events;
    }
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        m_error = query.lastError().text();
        return events;
    }
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    if (!query.exec()) {
        m_error = query.lastError().text();
        return events;
    }
    while (query.next()) {
        ServiceEvent event;
        event.id = QUuid::fromString(query.value(0).toString());
        event.time = parseTime(query.value(1).toString());
        event.station = query.value(2).toString();
        event.user = query.value(3).toString();
        event.toolVersion = query.value(4).toString();
        event.interfaceName = query.value(5).toString();
        event.operation = query.value(6).toString();
        event.serial = query.value(7).toString();
        event.kind = query.value(8).toString();
        event.usbId = query.value(9).toString();
        event.result = query.value(10).toInt();
        event.message = query.value(11).toString();
        event.details = query.value(12).toString();
        events.append(event);
    }
    return events;
}

QString RecordStore::where(const Filter& filter, QVariantList* values)
{
    // Only the shape of the statement depends on the filter; every value is bound.
    QStringList conditions;
    if (!filter.serial.isNull()) {
        conditions << QStringLiteral("serial = ?");
        *values << filter.serial;
    }
    if (!filter.operation.isEmpty()) {
        conditions << QStringLiteral("operation = ?");
        *values << filter.operation;
    }
    if (filter.since.isValid()) {
        conditions << QStringLiteral("time >= ?");
        *values << filter.since.toUTC().toString(kTimeFormat);
    }
    return conditions.isEmpty() ? QString()
                                : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QList<ServiceEvent> RecordStore::find(const Filter& filter) const
{
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM events").arg(kColumns) + where(filter, &values) +
                  QStringLiteral(" ORDER BY time DESC, seq DESC");
    if (filter.limit > 0) {
        sql += QStringLiteral(" LIMIT ? OFFSET ?");
        values << filter.limit << filter.offset;
    }
    return read(sql, values);
}

qint64 RecordStore::count(const Filter& filter) const
{
    QVariantList values;
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM events") + where(filter, &values);
    QSqlQuery query(m_db);
    if (!isOpen() || !query.prepare(sql)) {
        return -1;
    }
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    if (!query.exec() || !query.next()) {
        m_error = query.lastError().text();
        return -1;
    }
    return query.value(0).toLongLong();
}

QList<ServiceEvent> RecordStore::bySerial(const QString& serial, const QString& operation) const
{
    Filter filter;
    filter.serial = serial.isNull() ? QStringLiteral("") : serial;
    filter.operation = operation;
    return find(filter);
}

QList<ServiceEvent> RecordStore::since(const QDateTime& from) const
{
    Filter filter;
    filter.since = from;
    return find(filter);
}

QStringList RecordStore::searchSerials(const QString& fragment, int limit) const
{
    QStringList serials;
    if (!isOpen()) {
        return serials;
    }
    QString pattern = fragment.toLower();
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT serial FROM events WHERE lower(serial) LIKE ? ESCAPE '\\' "
                                      "GROUP BY serial ORDER BY MAX(time) DESC, serial LIMIT ?"))) {
        m_error = query.lastError().text();
        return serials;
    }
    query.bindValue(0, QStringLiteral("%") + pattern + QStringLiteral("%"));
    query.bindValue(1, limit);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return serials;
    }
    while (query.next()) {
        serials << query.value(0).toString();
    }
    return serials;
}

QList<ServiceEvent> RecordStore::inStoredOrder() const
{
    return read(QStringLiteral("SELECT %1 FROM events ORDER BY seq").arg(kColumns), {});
}

qint64 RecordStore::count() const
{
    return count(Filter());
}

QList<ServiceEvent> RecordStore::outboxHead(int limit, QList<qint64>* positions) const
{
    positions->clear();
    QList<ServiceEvent> events;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!isOpen() || !query.prepare(QStringLiteral("SELECT seq FROM outbox ORDER BY seq LIMIT ?"))) {
        return events;
    }
    query.bindValue(0, limit);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return events;
    }
    while (query.next()) {
        positions->append(query.value(0).toLongLong());
    }
    query.finish();
    if (positions->isEmpty()) {
        return events;
    }
    events =
        read(QStringLiteral("SELECT %1 FROM outbox WHERE seq >= ? AND seq <= ? ORDER BY seq").arg(kColumns),
             {positions->first(), positions->last()});
    if (events.size() != positions->size()) {
        positions->clear();
        events.clear();
    }
    return events;
}

int RecordStore::removeOutbox(qint64 position)
{
    if (!exec(QStringLiteral("DELETE FROM outbox WHERE seq = ?"), {position})) {
        return fail(kWriteFailed, QStringLiteral("an outbox entry cannot be removed"), m_error);
    }
    return kOk;
}

qint64 RecordStore::outboxCount() const
{
    QSqlQuery query(m_db);
    if (!isOpen() || !query.prepare(QStringLiteral("SELECT COUNT(*) FROM outbox")) || !query.exec() ||
        !query.next()) {
        return -1;
    }
    return query.value(0).toLongLong();
}
