#include "ui/servicewidget.h"

#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/snapshotstore.h"
#include "firmware/firmwareinfo.h"
#include "firmware/firmwareloader.h"
#include "ui/deviceconfirmation.h"
#include "ui/devicepage.h"
#include "ui/devicewidget.h"
#include "ui/snapshotfirst.h"
#include "ui/snapshotrestorer.h"
#include "ui/uipanelfactory.h"
#include "ui_servicewidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

ServiceWidget::ServiceWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("ServiceWidget")), ui(std::make_unique<Ui::ServiceWidget>())
{
    ui->setupUi(this);
    connect(ui->selectFirmwareButton, &QAbstractButton::clicked, this, &ServiceWidget::selectFirmware);
    connect(ui->updateFirmwareButton, &QAbstractButton::clicked, this, &ServiceWidget::requestFirmwareUpdate);
    connect(ui->downloadLogsButton, &QAbstractButton::clicked, this, &ServiceWidget::downloadLogs);
    connect(ui->deleteLogsButton, &QAbstractButton::clicked, this, &ServiceWidget::deleteLogs);
    connect(ui->factoryResetButton, &QAbstractButton::clicked, this, &ServiceWidget::requestFactoryReset);
    connect(ui->restoreSnapshotButton, &QAbstractButton::clicked, this, &ServiceWidget::restoreSnapshot);
    connect(ui->restoreSnapshotFileButton, &QAbstractButton::clicked, this,
            &ServiceWidget::restoreSnapshotFile);
    setObjectName(QStringLiteral("serviceWidget"));
    ui->selectFirmwareButton->setIcon(QIcon(QStringLiteral(":/icons/black/Open_32px.png")));
    ui->developLabel->setPixmap(QIcon(QStringLiteral(":/icons/black/Bug_32px_2.png")).pixmap(32, 32));

    set_FirmwarePathToCombobox();
    ui->firmwareInfoWidget->hide();
    ui->developLabel->hide();
    ui->logWidget->hide();
    ui->updateFirmwareButton->setEnabled(false);
    showFirmwareFile(QDir::fromNativeSeparators(ui->comboBoxLastFilePaths->currentText()));

    connect(Settings::instance(), &Settings::firmwarePathChanged, this,
            &ServiceWidget::set_FirmwarePathToCombobox);
    connect(ui->comboBoxLastFilePaths, &QComboBox::currentTextChanged, this,
            &ServiceWidget::onComboBoxCurrentTextChanged);
    ui->snapshotsList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(ui->snapshotsList, &QTreeWidget::itemSelectionChanged, this, [this] {
        ui->restoreSnapshotButton->setEnabled(m_device && !ui->snapshotsList->selectedItems().isEmpty());
    });
    refreshSnapshots();
}

ServiceWidget::~ServiceWidget() = default;

BaseDevice* ServiceWidget::device() const
{
    return m_device;
}

DeviceWidget* ServiceWidget::servicePanel() const
{
    return m_panel;
}

void ServiceWidget::setDevice(BaseDevice* device)
{
    if (device == m_device) {
        if (!device) {
            releaseDeviceWidgets(); // whatever the vanished device left behind
        }
        return;
    }
    if (m_device) {
        // Both directions, so that a late log or option report of the old device never lands here.
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(this, nullptr, m_device, nullptr);
    }
    releaseDeviceWidgets();
    m_device = device;
    refreshSnapshots();
    if (!device) {
        return;
    }

    connect(device, &BaseDevice::logDownloadFinsihed, this, &ServiceWidget::saveLogData,
            Qt::UniqueConnection);
    connect(device, &BaseDevice::disconnected, this, &ServiceWidget::releaseDeviceWidgets,
            Qt::UniqueConnection);
    connect(this, &ServiceWidget::updateFirmware, device, &BaseDevice::updateFirmware, Qt::UniqueConnection);
    connect(this, &ServiceWidget::downloadLog, device, &BaseDevice::downloadLog, Qt::UniqueConnection);
    connect(this, &ServiceWidget::clearLog, device, &BaseDevice::clearLog, Qt::UniqueConnection);
    connect(this, &ServiceWidget::factoryReset, device, &BaseDevice::factoryReset, Qt::UniqueConnection);
    // The list belongs to the instrument: only a change of its serial or chip id lists others.
    connect(device, &BaseDevice::identityChanged, this,
            [this, shown = device->identity()](const DeviceIdentity& identity) mutable {
                const bool other = identity.serial != shown.serial || identity.chipId != shown.chipId;
                shown = identity;
                if (other) {
                    refreshSnapshots();
                }
            });
    // The file is written right after the read came back, by whoever asked for it.
    connect(device, &BaseDevice::snapshotTaken, this,
            [this] { QTimer::singleShot(0, this, &ServiceWidget::refreshSnapshots); });

    if (DeviceWidget* panel =
            UiPanelFactory::panel(device, UiPanelFactory::Role::Service, ui->customServiceWidget)) {
        ui->customServiceWidgetLayout->addWidget(panel);
        // Made after the page, the panel would come last on Tab; it sits below the firmware.
        QWidget::setTabOrder(ui->firmwareChangelogEdit, panel);
        m_panel = panel;
    }
}

void ServiceWidget::releaseDeviceWidgets()
{
    if (DeviceWidget* panel = m_panel) {
        m_panel = nullptr;
        ui->customServiceWidgetLayout->removeWidget(panel);
        panel->hide(); // stops whatever the panel runs only while visible
        panel->setDevice(nullptr);
        UiPanelFactory::release(panel);
        panel->deleteLater();
    }
    const QList<QFileDialog*> dialogs = findChildren<QFileDialog*>();
    for (QFileDialog* dialog : dialogs) {
        dialog->reject();
    }
}

void ServiceWidget::resetServiceWidget()
{
    ui->firmwareInfoWidget->hide();
    ui->developLabel->hide();
    ui->logWidget->hide();
    ui->updateFirmwareButton->setEnabled(false);
    showFirmwareFile(QDir::fromNativeSeparators(ui->comboBoxLastFilePaths->currentText()));
}

void ServiceWidget::set_FirmwarePathToCombobox()
{
    {
        // Refilled silently: every intermediate text would otherwise be examined as a firmware file.
        const QSignalBlocker blocker(ui->comboBoxLastFilePaths);
        ui->comboBoxLastFilePaths->clear();
        // A file deleted from disk leaves a gap in the history, not the end of it.
        for (int i = 0; i < Settings::kMaxFirmwareFiles; ++i) {
            const QString file = Settings::instance()->firmwareFile(i);
            if (!file.isEmpty()) {
                ui->comboBoxLastFilePaths->addItem(QDir::toNativeSeparators(file));
            }
        }
        ui->comboBoxLastFilePaths->setCurrentIndex(0);
    }
    if (ui->comboBoxLastFilePaths->count() > 0) {
        showFirmwareFile(QDir::fromNativeSeparators(ui->comboBoxLastFilePaths->currentText()));
    }
}

void ServiceWidget::onComboBoxCurrentTextChanged(const QString& path)
{
    showFirmwareFile(QDir::fromNativeSeparators(path));
}

void ServiceWidget::showFirmwareFile(const QString& path)
{
    ui->updateFirmwareButton->setEnabled(false);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return;
    }
    FirmwareInfo info;
    loadFirmware(path, &info, nullptr);
    ui->firmwareVersionLabel->setText(info.firmwareVersion);
    ui->firmwareVersionLabel->setToolTip(Qt::convertFromPlainText(
        tr("Hardware type: %1\nSupported Hardware: %2\nRelease date: %3")
            .arg(info.type, info.supportedHardware.join(QLatin1Char(';')), info.createdAt)));
    ui->firmwareChangelogEdit->setPlainText(info.changelog);

    const bool complete = !info.firmwareVersion.isEmpty() && !info.type.isEmpty() && !info.md5.isEmpty() &&
                          !info.supportedHardware.isEmpty();
    ui->firmwareInfoWidget->setVisible(complete);
    ui->developLabel->setVisible(info.developVersion);
    if (!complete) {
        return;
    }
    ui->updateFirmwareButton->setEnabled(true);
    // Announces a change only when the history really changed; the refill then shows this file again.
    Settings::instance()->addFirmwareFile(QFileInfo(path).absoluteFilePath());
}

void ServiceWidget::selectFirmware()
{
    auto* dialog = new QFileDialog(this, tr("Select Firmware"), ui->comboBoxLastFilePaths->currentText(),
                                   tr("Firmware File (*.firmware)"));
    dialog->setObjectName(QStringLiteral("selectFirmwareDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::finished, this, [this, dialog](int result) {
        const QStringList files = dialog->selectedFiles();
        // Cancelled: an empty path, which disables the update and leaves the info as it was.
        showFirmwareFile(result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString());
    });
    dialog->open();
}

void ServiceWidget::requestFirmwareUpdate()
{
    const QString path = QDir::fromNativeSeparators(ui->comboBoxLastFilePaths->currentText());
    if (!QFileInfo(path).isFile()) {
        return;
    }
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    SnapshotFirst::run(
        this, [this]() -> BaseDevice* { return m_device; }, [this, path] { emit updateFirmware(path); });
}

void ServiceWidget::downloadLogs()
{
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    emit downloadLog();
}

void ServiceWidget::deleteLogs()
{
    confirm(QStringLiteral("deleteLogsQuestion"), tr("Do you want to delete all log entries on the device?"),
            [this] { emit clearLog(); });
}

void ServiceWidget::requestFactoryReset()
{
    confirm(QStringLiteral("factoryResetQuestion"),
            tr("This will reset the device to its factory settings.\nAre you sure you want to reset?"),
            [this] {
                SnapshotFirst::run(
                    this, [this]() -> BaseDevice* { return m_device; }, [this] { emit factoryReset(); });
            });
}

void ServiceWidget::refreshSnapshots()
{
    ui->snapshotsList->clear();
    ui->restoreSnapshotButton->setEnabled(false);
    ui->restoreSnapshotFileButton->setEnabled(m_device != nullptr);
    const QString instrument =
        m_device ? OptionsSnapshot::instrumentOf(m_device->serial(), m_device->systemId(), m_device->chipId())
                 : QString();
    if (instrument.isEmpty()) {
        ui->snapshotsMessageLabel->setText(m_device ? QString() : tr("No instrument is connected."));
        ui->snapshotsMessageLabel->setVisible(!m_device);
        return;
    }
    const QList<SnapshotStore::Entry> entries = SnapshotFirst::store().list(m_device->kindKey(), instrument);
    for (const SnapshotStore::Entry& entry : entries) {
        auto* item = new QTreeWidgetItem(
            ui->snapshotsList,
            {QLocale().toString(entry.takenAt.toLocalTime(),
                                QLocale().dateFormat(QLocale::ShortFormat) + QStringLiteral(" HH:mm:ss")),
             entry.firmwareVersion});
        item->setData(0, Qt::UserRole, entry.path);
        item->setToolTip(0, Qt::convertFromPlainText(QDir::toNativeSeparators(entry.path)));
    }
    ui->snapshotsMessageLabel->setText(
        entries.isEmpty()
            ? tr("No snapshots of this instrument yet. One is taken before every reset, firmware "
                 "update and write.")
            : QString());
    ui->snapshotsMessageLabel->setVisible(entries.isEmpty());
}

void ServiceWidget::restoreSnapshot()
{
    const QList<QTreeWidgetItem*> selected = ui->snapshotsList->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    SnapshotRestorer::start(this, selected.first()->data(0, Qt::UserRole).toString(),
                            [this]() -> BaseDevice* { return m_device; });
}

void ServiceWidget::restoreSnapshotFile()
{
    const QPointer<BaseDevice> askedFor = m_device;
    auto* dialog = new QFileDialog(this, tr("Restore Snapshot"), SnapshotFirst::store().folder(),
                                   tr("Snapshot (*.json)"));
    dialog->setObjectName(QStringLiteral("openSnapshotDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this, askedFor](const QString& file) {
        if (file.isEmpty() || !askedFor || askedFor != m_device) {
            return;
        }
        SnapshotRestorer::start(this, file, [this]() -> BaseDevice* { return m_device; });
    });
    dialog->open();
}

void ServiceWidget::confirm(const QString& objectName, const QString& text, std::function<void()> onYes)
{
    DeviceConfirmation::ask(
        this, objectName, text, [this]() -> BaseDevice* { return m_device; }, std::move(onYes));
}

void ServiceWidget::saveLogData(QString logs)
{
    const QPointer<BaseDevice> askedFor = m_device;
    auto* dialog = new QFileDialog(this, tr("Save Logs"), QString(), tr("Log File (*.log)"));
    dialog->setObjectName(QStringLiteral("saveLogsDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this, askedFor, logs](const QString& file) {
        if (file.isEmpty() || askedFor != m_device) {
            return;
        }
        writeLogFile(file, logs);
    });
    dialog->open();
}

bool ServiceWidget::writeLogFile(const QString& fileName, const QString& logs)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        logger()->warn("Couldn't open save file.");
    } else {
        file.write(logs.toLatin1());
        if (file.commit()) {
            return true;
        }
        logger()->warn("Couldn't write save file {}: {}", fileName, file.errorString());
    }
    if (m_device) {
        m_device->notifyUser(
            NotificationMessageType::Error,
            tr("The device log could not be saved to %1.").arg(QDir::toNativeSeparators(fileName)));
    }
    return false;
}
