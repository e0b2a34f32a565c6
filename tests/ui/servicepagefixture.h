#pragma once

// The Service page tests: the shared window fixture, firmware files of their own, the page's firmware
// chooser, and the enciphered option descriptions the staff pages read.
#include "firmwarefiles.h"
#include "windowfixture.h"

#include <QFileDialog>
#include <QJsonArray>
#include <QJsonObject>

class ServicePageFixture : public WindowFixture
{
public:
    // Chooses `path` in the dialog that `button` of `page` opens (unless told, the Service page's "...").
    void chooseFile(const QString& path, const char* button = "selectFirmwareButton",
                    const char* dialogName = "selectFirmwareDialog", QWidget* page = nullptr)
    {
        child<QAbstractButton>(page ? page : service(), button)->click();
        auto* fileDialog = dialog<QFileDialog>(dialogName, page);
        ASSERT_NE(fileDialog, nullptr);
        fileDialog->selectFile(path);
        static_cast<QDialog*>(fileDialog)->accept(); // QFileDialog hides accept()
    }

    static QJsonObject option(quint32 id, const char* type, const QJsonValue& value)
    {
        return {{"id", QString::number(id)}, {"type", QLatin1String(type)}, {"value", value}};
    }

    static QJsonObject function(const QString& name, const QJsonArray& options, const QString& firmware = {},
                                const char* pcb = "D")
    {
        QJsonObject f{{"name", name}, {"pcb_versions", QJsonArray{pcb}}, {"options", options}};
        if (!firmware.isEmpty()) {
            f.insert("firmware", firmware);
        }
        return f;
    }

    // Writes an enciphered option file offering `functions` for the device type `type` into `subdir`.
    // Returns the directory; a firmware file there (firmwareIn) makes it the firmware directory.
    QString writeOptionFile(const char* type, const QJsonArray& functions, const QString& subdir = "fw",
                            quint8 flags = FirmwareCipher::FlagCompressed)
    {
        QDir(files.path()).mkpath(subdir);
        const QString dir = files.filePath(subdir);
        const QJsonObject document{
            {"devices", QJsonArray{QJsonObject{{"device_type", type}, {"functions", functions}}}}};
        EXPECT_TRUE(packer.save(QDir(dir).filePath("file.options"), packer.packJson(document, flags)));
        return dir;
    }

    // A firmware file `name` in `dir` whose image runs as `version`, made the most recent firmware file.
    QString firmwareIn(const QString& dir, const QString& name, const QString& version)
    {
        const QString path = QDir(dir).filePath(name);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(firmware.tagged(version, {"ALL"}), path));
        Settings::instance()->addFirmwareFile(path);
        return path;
    }

    FirmwareFiles firmware;
    QTemporaryDir& files = firmware.dir;
    FirmwarePacker& packer = firmware.packer;
};
