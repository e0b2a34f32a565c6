#pragma once

#include "measurements/vectarisdatapoint.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

struct DatasetRecord;

// One measurement series as the control unit recorded it. A series is named either by the local
// date-time at which it was started (date set, title empty) or by a free title (title set, date null).
// The title holds only what can be shown and written to XML: fill bytes and control characters of the
// stored text are not part of it. Plain value type, registered as "VectarisDataset" and, in lists,
// "QList<VectarisDataset>", so that it can cross threads in queued signals.
struct VectarisDataset
{
    VectarisDataset() = default;
    explicit VectarisDataset(const DatasetRecord& record);

    QString title;
    VectarisDataPoints points;
    QDateTime date;
};

Q_DECLARE_METATYPE(VectarisDataset)

// Registers the measurement value types with the meta-type system by name. Runs by itself when the
// library is loaded; calling it again is harmless.
void registerVectarisMetaTypes();
