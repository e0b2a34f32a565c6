#include "measurements/exportdocument.h"

#include <QFileDevice>
#include <QSaveFile>

bool ExportDocument::write(QIODevice* device, const std::function<bool(QIODevice*)>& writeDocument)
{
    if (!device)
        return false;
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly))
        return false;
    if (!device->isWritable())
        return false;
    bool written = writeDocument(device);
    if (auto* file = qobject_cast<QFileDevice*>(device))
        written = file->flush() && written;
    // A file that already failed keeps its own reason (a full disk, say) rather than "cancelled".
    if (!written) {
        if (auto* saveFile = qobject_cast<QSaveFile*>(device);
            saveFile && saveFile->error() == QFileDevice::NoError)
            saveFile->cancelWriting();
    }
    return written;
}

bool ExportDocument::save(const QString& fileName, const std::function<bool(QIODevice*)>& writeToDevice)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeToDevice(&file))
        return false;
    return file.commit();
}
