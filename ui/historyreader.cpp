#include "ui/historyreader.h"

#include <QFileInfo>

HistoryReader::HistoryReader(QObject* parent) : QObject(parent), m_context(new QObject)
{
    m_thread.setObjectName(QStringLiteral("History"));
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

HistoryReader::~HistoryReader()
{
    // The connection belongs to the reading thread and is closed there; quitting from inside the queue
    // lets every earlier request finish first.
    QMetaObject::invokeMethod(m_context, [this] {
        m_store.reset();
        QThread::currentThread()->quit();
    });
    m_thread.wait();
    delete m_context;
}

void HistoryReader::open(const RecordsAddress& address)
{
    QMetaObject::invokeMethod(m_context, [this, address] {
        m_address = address;
        m_store.reset();
        QString text;
        const int result = openStore(&text);
        QMetaObject::invokeMethod(this, [this, result, text] { emit opened(result, text); });
    });
}

void HistoryReader::read(int request, const RecordStore::Filter& filter)
{
    QMetaObject::invokeMethod(m_context, [this, request, filter] {
        QList<ServiceEvent> events;
        qint64 total = 0;
        if (!m_store) {
            QString ignored;
            openStore(&ignored); // the recorder may have written the first event meanwhile
        }
        if (m_store) {
            total = m_store->count(filter);
            events = m_store->find(filter);
        }
        QMetaObject::invokeMethod(this,
                                  [this, request, events, total] { emit pageRead(request, events, total); });
    });
}

void HistoryReader::searchSerials(int request, const QString& fragment, int limit)
{
    QMetaObject::invokeMethod(m_context, [this, request, fragment, limit] {
        const QStringList serials = m_store ? m_store->searchSerials(fragment, limit) : QStringList();
        QMetaObject::invokeMethod(this, [this, request, serials] { emit serialsFound(request, serials); });
    });
}

int HistoryReader::openStore(QString* text)
{
    if (!m_address.isShared() && !QFileInfo::exists(m_address.path())) {
        return RecordStore::kOk;
    }
    auto store = std::make_unique<RecordStore>();
    const int result = store->open(m_address);
    *text = store->errorText();
    if (result >= 0) {
        m_store = std::move(store);
    }
    return result;
}
