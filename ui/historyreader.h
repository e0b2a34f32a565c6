#pragma once

#include "records/recordsaddress.h"
#include "records/recordstore.h"
#include "records/serviceevent.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>

// Reads the service records for the History page on a thread of its own: a long history or a slow
// shared server never holds up the window. Requests are queued in order; each answer comes back as a
// signal on the thread that made the reader, carrying the request it answers, so that the page can
// drop answers it no longer wants.
class HistoryReader : public QObject
{
    Q_OBJECT

public:
    explicit HistoryReader(QObject* parent = nullptr);
    // Waits for the request being read, then closes the database on its own thread.
    ~HistoryReader() override;

    // Opens `address`; opened() answers. A local file that is not there yet is not created: it reads as
    // empty until the recorder writes the first event.
    void open(const RecordsAddress& address);
    // One page of events (filter.limit/offset) and how many match without the limit.
    void read(int request, const RecordStore::Filter& filter);
    void searchSerials(int request, const QString& fragment, int limit);

signals:
    // RecordStore's result code (0, 1 read-only, negative) and its words for a warning or failure.
    void opened(int result, const QString& text);
    void pageRead(int request, const QList<ServiceEvent>& events, qint64 total);
    void serialsFound(int request, const QStringList& serials);

private:
    // On m_thread: opens m_address unless it is a local file not there yet.
    int openStore(QString* text);

    QThread m_thread;
    QObject* m_context;                   // lives on m_thread; deleted after it ends
    RecordsAddress m_address;             // m_thread only
    std::unique_ptr<RecordStore> m_store; // m_thread only
};
