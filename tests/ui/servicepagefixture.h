#pragma once

// The Service page tests: the shared window fixture, firmware files of their own, and the page's
// firmware chooser.
#include "firmwarefiles.h"
#include "windowfixture.h"

#include <QFileDialog>

class ServicePageFixture : public WindowFixture
{
public:
    // Chooses `path` with the page's "..." dialog.
    void chooseFirmware(const QString& path)
    {
        child<QAbstractButton>(service(), "selectFirmwareButton")->click();
        auto* fileDialog = dialog<QFileDialog>("selectFirmwareDialog");
        ASSERT_NE(fileDialog, nullptr);
        fileDialog->selectFile(path);
        static_cast<QDialog*>(fileDialog)->accept(); // QFileDialog hides accept()
    }

    FirmwareFiles firmware;
    QTemporaryDir& files = firmware.dir;
    FirmwarePacker& packer = firmware.packer;
};
