#include "ui/aboutwidget.h"

#include "ui_aboutwidget.h"

#include "support/supportbundle.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

AboutWidget::AboutWidget(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::AboutWidget>())
{
    ui->setupUi(this);
    ui->appNameLabel->setText(QCoreApplication::applicationName());
    ui->appVersionLabel->setText(tr("Version: ") + QCoreApplication::applicationVersion());
    m_saveFileName = [](QWidget* parent, const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, tr("Save support bundle"), suggested,
                                            tr("Zip archives (*.zip)"));
    };
    connect(ui->supportBundleButton, &QPushButton::clicked, this, &AboutWidget::saveSupportBundle);
}

AboutWidget::~AboutWidget() = default;

void AboutWidget::saveSupportBundle()
{
    const QString path = m_saveFileName(this, QDir::home().filePath(SupportBundle::suggestedFileName()));
    if (path.isEmpty()) {
        return;
    }
    // The instrument connected when the file name is given is the one whose snapshots go in.
    SupportBundle bundle;
    bundle.collectFrom(UsbManager::instance());
    QString error;
    if (bundle.write(path, &error) == 0) {
        emit notify(NotificationMessageType::Success,
                    tr("Support bundle saved to %1").arg(QDir::toNativeSeparators(path)));
    } else {
        emit notify(NotificationMessageType::Error, tr("Support bundle not saved: %1").arg(error));
    }
}
