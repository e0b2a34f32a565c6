#pragma once

#include "measurements/vectarisdataset.h"

#include <QList>
#include <QString>

class ExportProgress;
class QIODevice;

// Writes the series as one KML 2.2 document: a folder per series with a placemark per point (its
// measured values as extended data) and a line through the points that have a GPS fix. Points without
// a fix keep their placemark and values but get no coordinate and no time. Times carry their UTC
// offset, so that an earth browser places them correctly in time.
//
// Opens `device` write-only if it is not open yet. Returns false, having written nothing, when that
// fails, and false when the device reported a write error; a QSaveFile given here is then cancelled, so
// that its commit() leaves no half-written file behind. The caller owns and closes the device. Memory
// use does not grow with the number of points beyond the text of one series' line.
bool VectarisDatasetsToKml(const QList<VectarisDataset>& datasets, QIODevice* device);
// The same, counting every point in `progress`; once that is cancelled, the writer stops at its next
// batch and returns false (a QSaveFile given here is then cancelled).
bool VectarisDatasetsToKml(const QList<VectarisDataset>& datasets, QIODevice* device,
                           ExportProgress* progress);

// Writes the document to fileName through a QSaveFile: the file appears (or an existing one is
// replaced) only when the whole document was written; otherwise it is left as it was.
bool VectarisDatasetsToKmlFile(const QList<VectarisDataset>& datasets, const QString& fileName);
