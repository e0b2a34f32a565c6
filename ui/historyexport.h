#pragma once

#include "records/serviceevent.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The rows the History page shows, as a file: CSV with one line per event (the same columns as the
// command line's JSON, details as their JSON text), or a JSON array of events. Every text is written as
// the database holds it; only CSV's own quoting is added.
class HistoryExport
{
public:
    enum class Format
    {
        Csv,
        Json
    };

    static QByteArray csv(const QList<ServiceEvent>& events);
    static QByteArray json(const QList<ServiceEvent>& events);
    // Through a QSaveFile: the file appears whole or not at all. False with the file system's reason.
    static bool save(const QString& fileName, Format format, const QList<ServiceEvent>& events,
                     QString* reason);
};
