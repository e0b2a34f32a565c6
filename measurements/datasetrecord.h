#pragma once

#include "measurements/datapointrecord.h"

#include <QList>
#include <QString>

// One slot of the dataset store: its 68-byte header and the point records whose valid flag was 1,
// in image order. Plain value; the text is all 52 header bytes as Latin-1, fill bytes included.
struct DatasetRecord
{
    static constexpr int kHeaderSize = 68;
    static constexpr int kTextSize = 52;

    quint32 headerWord = 0;
    quint64 headerLongWord = 0;
    quint32 recordsLength = 0;
    QString text;
    QList<DataPointRecord> points;
};
