#pragma once

#include "measurements/datasetrecord.h"

#include <QByteArray>
#include <QList>

// First stage of reading the control unit's dataset store: splits the image into slots and point
// records by position only (layout in measurements/README.md). Never fails: a damaged or truncated image
// yields the complete slots and records that it holds, and an image that is no store yields an empty
// list. Pure function, safe on any thread.
QList<DatasetRecord> parseDatasetRecords(const QByteArray& image);
