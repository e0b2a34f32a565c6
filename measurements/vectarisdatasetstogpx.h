#pragma once

#include "measurements/vectarisdataset.h"

#include <QList>
#include <QString>

class ExportProgress;
class QIODevice;

// Writes the series as one GPX 1.1 document for GPS tools: a track per series (named like the KML
// folder: its title, else its date), one track segment holding a track point per point with a GPS fix,
// its UTC time and the ten measured values as extensions in their own namespace. GPX has no place for a
// point without a position, so such points are left out (the CSV export keeps them).
//
// Opens `device` write-only if it is not open yet. Returns false, having written nothing, when that
// fails, and false on a write error; a QSaveFile given here is then cancelled. The caller owns and
// closes the device. Memory use does not grow with the number of points.
bool VectarisDatasetsToGpx(const QList<VectarisDataset>& datasets, QIODevice* device);
// The same, counting every point in `progress`; once that is cancelled, the writer stops at its next
// batch and returns false (a QSaveFile given here is then cancelled).
bool VectarisDatasetsToGpx(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress);

// Writes the document to fileName through a QSaveFile: the file appears (or an existing one is
// replaced) only when the whole document was written; otherwise it is left as it was.
bool VectarisDatasetsToGpxFile(const QList<VectarisDataset>& datasets, const QString& fileName);

// The namespace of the measured values inside <extensions> (prefix "vx").
extern const char kVectarisGpxNamespace[];
