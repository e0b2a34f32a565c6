#pragma once

#include "measurements/vectarisdataset.h"

#include <QList>
#include <QString>

class ExportProgress;
class QIODevice;

// Writes the series as one CSV table (RFC 4180: comma separated, CRLF line ends, fields with a comma,
// quote or line break quoted) in UTF-8 without byte-order mark: a header row, then one row per point
// of every series in order. Columns: series name (title, else date), series date, point number
// (1, 2, ... per series), time (ISO 8601 with UTC offset), latitude, longitude, then the ten measured
// values. Numbers always use a decimal point, whatever the locale. A point without a GPS fix keeps its
// row with empty time and position. A series name beginning with =, +, - or @ gets a leading
// apostrophe, so that spreadsheets show it as text rather than run it as a formula.
//
// Opens `device` write-only if it is not open yet. Returns false, having written nothing, when that
// fails, and false on a write error; a QSaveFile given here is then cancelled. The caller owns and
// closes the device. Memory use does not grow with the number of points.
bool VectarisDatasetsToCsv(const QList<VectarisDataset>& datasets, QIODevice* device);
// The same, counting every point in `progress`; once that is cancelled, the writer stops at its next
// batch and returns false (a QSaveFile given here is then cancelled).
bool VectarisDatasetsToCsv(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress);

// Writes the table to fileName through a QSaveFile: the file appears (or an existing one is replaced)
// only when the whole table was written; otherwise it is left as it was.
bool VectarisDatasetsToCsvFile(const QList<VectarisDataset>& datasets, const QString& fileName);
