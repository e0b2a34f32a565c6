#pragma once

#include <QString>

#include <functional>

class QIODevice;

// What every export format does around its own document: open the device if needed, flush a file
// device's buffer (a full disk shows only then), and have a QSaveFile discard a document that failed,
// so that a failed export never leaves a half-written file behind.
class ExportDocument
{
public:
    // Runs `writeDocument` on `device`; false for a null, unwritable or failing device.
    static bool write(QIODevice* device, const std::function<bool(QIODevice*)>& writeDocument);
    // Writes through a QSaveFile that is committed only when `writeToDevice` succeeded.
    static bool save(const QString& fileName, const std::function<bool(QIODevice*)>& writeToDevice);
};
