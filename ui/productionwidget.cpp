#include "ui/productionwidget.h"

#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/jobs/setdeviceoptionjob.h"
#include "firmware/firmwareinfo.h"
#include "firmware/firmwareloader.h"
#include "options/storageids_general.h"
#include "ui/deviceconfirmation.h"
#include "ui/devicepage.h"
#include "ui/devicewidget.h"
#include "ui/snapshotfirst.h"
#include "ui/stationpanel.h"
#include "ui/uipanelfactory.h"
#include "ui_productionwidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>

namespace {
const char* const kUnknownType = "unknown";

using GeneralId = StorageIDs_general::Options;

// Typed identity texts go to the board as Latin-1 bytes: only printable Latin-1 is accepted, so that
// nothing is stored as '?'.
bool isPrintableLatin1(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u > 0xFF) {
            return false;
        }
    }
    return true;
}
} // namespace

ProductionWidget::ProductionWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("ProductionWidget")),
      ui(std::make_unique<Ui::ProductionWidget>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("productionWidget"));
    connect(ui->btnWriteParameters, &QAbstractButton::clicked, this, &ProductionWidget::writeParameters);
    connect(ui->editDeviceSerial, &QLineEdit::returnPressed, this, &ProductionWidget::writeParameters);
    connect(ui->btnUpdateFirmware, &QAbstractButton::clicked, this,
            &ProductionWidget::updateFunctionFirmware);
    connect(ui->btnUpdateBaseFirmware, &QAbstractButton::clicked, this,
            &ProductionWidget::updateBaseFirmware);
    connect(ui->pcbTypeEditButton, &QAbstractButton::toggled, this, &ProductionWidget::setPcbTypeEditable);
    connect(ui->pcbSerialEditButton, &QAbstractButton::clicked, this,
            &ProductionWidget::setPcbSerialEditable);
    connect(ui->editDeviceSerial, &QLineEdit::textChanged, this, &ProductionWidget::markDeviceSerial);
    connect(ui->editPcbType, &QLineEdit::textChanged, this, &ProductionWidget::markPcbType);
    connect(ui->editPcbSerial, &QLineEdit::textChanged, this, &ProductionWidget::markPcbSerial);
    connect(ui->comboDeviceType, &QComboBox::currentTextChanged, this, &ProductionWidget::markDeviceType);
    ui->widgetUpdateRequired->hide();
    ui->ChangeOptionFile->hide();
    ui->widgetOptionsList->layout()->setAlignment(Qt::AlignLeft);
    ui->lblParametersMessage->setWordWrap(true);
    ui->lblOptionsState->setWordWrap(true);
    ui->lblFirmwareFilePath->setWordWrap(true);
    // Each identity text travels as one option value in one packet: no more than that fits.
    for (QLineEdit* edit : {ui->editDeviceSerial, ui->editPcbType, ui->editPcbSerial}) {
        edit->setMaxLength(SetDeviceOptionJob::kMaxValueSize);
    }
    ui->editOptionsFile->setText(QDir::toNativeSeparators(firmwareDirectory()));
    connect(Settings::instance(), &Settings::firmwarePathChanged, this, &ProductionWidget::reloadOptionsFile);
    connect(Settings::instance(), &Settings::firmwarePathChanged, this,
            [this](const QString& path) { ui->editOptionsFile->setText(QDir::toNativeSeparators(path)); });
    connect(ui->checkStationMode, &QAbstractButton::toggled, this, &ProductionWidget::setStationMode);
    // The run's setup stays put while boards go through.
    connect(ui->stationPanel, &StationPanel::runningChanged, ui->checkStationMode, &QWidget::setDisabled);
    setStationMode(false);
    setDeviceFunction(QString());
    setControlsEnabled(false);
}

ProductionWidget::~ProductionWidget() = default;

BaseDevice* ProductionWidget::device() const
{
    return m_device;
}

DeviceWidget* ProductionWidget::productionPanel() const
{
    return m_panel;
}

StationPanel* ProductionWidget::stationPanel() const
{
    return ui->stationPanel;
}

void ProductionWidget::setRecorder(Recorder* recorder)
{
    ui->stationPanel->setRecorder(recorder);
}

void ProductionWidget::setStationMode(bool on)
{
    ui->stationPanel->setVisible(on);
    ui->manualWidget->setVisible(!on);
}

QStringList ProductionWidget::deviceTypeChoices()
{
    return {QLatin1String(kUnknownType), QStringLiteral("TBX-CU"), QStringLiteral("TBX-SU"),
            QStringLiteral("VC-SU"),     QStringLiteral("VC-MNA"), QStringLiteral("VCG-CU")};
}

QString ProductionWidget::firmwareDirectory() const
{
    return Settings::instance()->firmwarePath();
}

void ProductionWidget::setControlsEnabled(bool enabled)
{
    ui->groupParameters->setEnabled(enabled);
    ui->widgetUpdateRequired->setEnabled(enabled);
    if (!enabled) {
        ui->widgetOptionsList->setEnabled(false);
        ui->firmwareWidget->setEnabled(false);
    }
}

void ProductionWidget::setDevice(BaseDevice* device)
{
    if (device && device == m_device) {
        return;
    }
    if (m_device) {
        deviceDisconnected();
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(this, nullptr, m_device, nullptr);
    }
    m_device = device;
    if (!device) {
        deviceDisconnected();
        return;
    }
    setDeviceFunction(QString());
    connect(device, &BaseDevice::disconnected, this, &ProductionWidget::deviceDisconnected);
    connect(device, &BaseDevice::identityChanged, this, &ProductionWidget::showIdentity);
    connect(device, &BaseDevice::deviceOptionChanged, this, &ProductionWidget::onDeviceOptionChanged);

    setControlsEnabled(true);
    m_shownIdentity = device->identity();
    setName(device->name());
    setPixmap(device->picture());
    setSerial(device->serial());
    setSoftwareVersion(device->softwareVersion());
    setSystemId(device->systemId());
    if (!device->pcbSerial().isEmpty()) {
        setPcbSerial(device->pcbSerial());
    }
    if (!device->hardwareRevision().isEmpty()) {
        ui->pcbTypeLabel->setText(tr("PCB Type: %1").arg(device->hardwareRevision()));
    }
    setDeviceType(device->deviceType());
    setUpdateRequired(device->updateRequired());
    // The operator enters the production values afresh.
    ui->comboDeviceType->setCurrentText(QLatin1String(kUnknownType));
    ui->editDeviceSerial->clear();
    ui->editPcbSerial->clear();
    ui->editPcbType->clear();
    ui->lblParametersMessage->clear();

    if (DeviceWidget* panel =
            UiPanelFactory::panel(device, UiPanelFactory::Role::Production, ui->widgetDeviceSpecific)) {
        static_cast<QGridLayout*>(ui->widgetDeviceSpecific->layout())->addWidget(panel, 0, 0);
        // Made after the page, the panel would come last on Tab; it sits below the firmware.
        QWidget::setTabOrder(ui->btnUpdateFirmware, panel);
        m_panel = panel;
    }
}

void ProductionWidget::clearReadouts()
{
    ui->deviceImageLabel->clear();
    ui->deviceNameLabel->clear();
    ui->serialLabel->setText(tr("Serial:"));
    ui->deviceTypeLabel->setText(tr("Device Type:"));
    ui->pcbTypeLabel->setText(tr("PCB Type:"));
    ui->pcbSerialLabel->setText(tr("PCB Serial"));
    ui->versionLabel->setText(tr("Firmware:"));
    ui->systemIdLabel->setText(tr("System ID:"));
    ui->lblParametersMessage->clear();
    for (QLineEdit* edit : {ui->editDeviceSerial, ui->editPcbType, ui->editPcbSerial}) {
        const QSignalBlocker blocker(edit);
        edit->clear();
        edit->setProperty("valid", QVariant());
    }
    const QSignalBlocker blocker(ui->comboDeviceType);
    ui->comboDeviceType->setCurrentText(QLatin1String(kUnknownType));
}

void ProductionWidget::deviceDisconnected()
{
    m_parametersPending = false;
    setDeviceFunction(QString());
    clearFunctions();
    clearReadouts();
    setUpdateRequired(false);
    setControlsEnabled(false);
    if (DeviceWidget* panel = m_panel) {
        m_panel = nullptr;
        ui->widgetDeviceSpecific->layout()->removeWidget(panel);
        panel->hide();
        panel->setDevice(nullptr);
        UiPanelFactory::release(panel);
        panel->deleteLater();
    }
    const QList<QFileDialog*> dialogs = findChildren<QFileDialog*>();
    for (QFileDialog* dialog : dialogs) {
        if (ui->stationPanel->isAncestorOf(dialog)) {
            continue; // the station's files belong to no board
        }
        dialog->reject();
    }
}

// --- identity read-outs ---------------------------------------------------------------------------

void ProductionWidget::showIdentity(const DeviceIdentity& identity)
{
    // Field by field, and only what changed: a new serial also fills the serial field, which must not
    // overwrite what the operator typed when only another value changed.
    const DeviceIdentity was = m_shownIdentity;
    m_shownIdentity = identity;
    if (identity.serial != was.serial) {
        setSerial(identity.serial);
    }
    if (identity.softwareVersion != was.softwareVersion) {
        setSoftwareVersion(identity.softwareVersion);
    }
    if (identity.systemId != was.systemId) {
        setSystemId(identity.systemId);
    }
    if (identity.pcbSerial != was.pcbSerial) {
        setPcbSerial(identity.pcbSerial);
    }
    if (identity.hardwareRevision != was.hardwareRevision) {
        setHardwareRevision(identity.hardwareRevision);
    }
    if (identity.deviceType != was.deviceType) {
        setDeviceType(identity.deviceType);
    }
    if (identity.updateRequired != was.updateRequired) {
        setUpdateRequired(identity.updateRequired);
    }
}

void ProductionWidget::setName(QString name)
{
    // The kinds' display names are translated where they are shown; logs and files keep them English.
    ui->deviceNameLabel->setText(BaseDevice::tr(name.toUtf8().constData()));
}

void ProductionWidget::setPixmap(QString picture)
{
    const QPixmap pixmap(picture);
    const qreal ratio = devicePixelRatioF(); // sharp at scale 2 too
    QPixmap shown = pixmap.isNull() ? QPixmap()
                                    : pixmap.scaled(QSize(100, 100) * ratio, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    ui->deviceImageLabel->setPixmap(shown);
}

void ProductionWidget::setSerial(QString serial)
{
    ui->serialLabel->setText(tr("Serial: %1").arg(serial));
    ui->editDeviceSerial->setText(serial);
    ui->editDeviceSerial->setFocus();
}

void ProductionWidget::setSoftwareVersion(QString version)
{
    ui->versionLabel->setText(tr("Firmware: %1").arg(version));
}

void ProductionWidget::setSystemId(QString systemId)
{
    ui->systemIdLabel->setText(tr("System ID: %1").arg(systemId));
}

void ProductionWidget::setPcbSerial(QString pcbSerial)
{
    ui->editPcbSerial->setText(pcbSerial);
    ui->pcbSerialLabel->setText(tr("PCB Serial: %1").arg(pcbSerial));
}

void ProductionWidget::setHardwareRevision(QString revision)
{
    ui->editPcbType->setText(revision);
    ui->pcbTypeLabel->setText(tr("PCB Type: %1").arg(revision));
    // The board's own type, not whatever the combo box holds: the combo is the operator's entry.
    setDeviceType(m_device ? m_device->deviceType() : QString());
}

void ProductionWidget::setUpdateRequired(bool required)
{
    m_updateRequired = required;
    ui->widgetUpdateRequired->setVisible(required);
}

void ProductionWidget::setDeviceType(QString type)
{
    ui->deviceTypeLabel->setText(tr("Device Type: %1").arg(type));
    reloadOptionsFile(firmwareDirectory());
    QString selected = type;
    if (selected.isEmpty() || selected == QLatin1String(kUnknownType)) {
        const QStringList types =
            m_device ? m_functions.deviceTypes(m_device->hardwareRevision()) : QStringList();
        selected = types.value(0);
    }
    const QSignalBlocker blocker(ui->comboDeviceType);
    if (!selected.isEmpty()) {
        if (ui->comboDeviceType->findText(selected, Qt::MatchExactly) < 0) {
            ui->comboDeviceType->addItem(selected);
        }
        ui->comboDeviceType->setCurrentText(selected);
        ui->widgetDeviceSpecific->show();
    } else {
        ui->comboDeviceType->setCurrentText(QLatin1String(kUnknownType));
        ui->widgetDeviceSpecific->hide();
    }
    if (m_device) {
        markField(ui->comboDeviceType, ui->comboDeviceType->currentText(), m_device->deviceType());
    }
}

// --- edited fields --------------------------------------------------------------------------------

void ProductionWidget::markField(QWidget* field, const QString& text, const QString& deviceValue)
{
    if (!m_device) {
        return;
    }
    field->setProperty("valid", text.isEmpty() ? -2 : (text == deviceValue ? 0 : -1));
    field->style()->unpolish(field);
    field->style()->polish(field);
}

void ProductionWidget::markDeviceSerial(const QString& text)
{
    markField(ui->editDeviceSerial, text, m_device ? m_device->serial() : QString());
}

void ProductionWidget::markPcbType(const QString& text)
{
    markField(ui->editPcbType, text, m_device ? m_device->hardwareRevision() : QString());
}

void ProductionWidget::markPcbSerial(const QString& text)
{
    markField(ui->editPcbSerial, text, m_device ? m_device->pcbSerial() : QString());
}

void ProductionWidget::markDeviceType(const QString& text)
{
    markField(ui->comboDeviceType, text, m_device ? m_device->deviceType() : QString());
}

void ProductionWidget::setPcbTypeEditable(bool editable)
{
    ui->editPcbType->setReadOnly(!editable);
}

void ProductionWidget::setPcbSerialEditable(bool editable)
{
    ui->editPcbSerial->setReadOnly(!editable);
}

// --- writing the identity -------------------------------------------------------------------------

void ProductionWidget::writeParameters()
{
    if (!m_device) {
        return;
    }
    const QString serial = ui->editDeviceSerial->text().trimmed();
    const QString pcbSerial = ui->editPcbSerial->text().trimmed();
    const QString pcbType = ui->editPcbType->text().trimmed();
    const QString type = ui->comboDeviceType->currentText();
    logger()->info("updating device parameters {}: {}, {}, {}, {}", m_device->name(), serial, type, pcbType,
                   pcbSerial);

    struct Field
    {
        quint32 id;
        QString label;
        QString text;
        QString current;
    };
    const Field fields[] = {
        {quint32(GeneralId::e_sid_DeviceSerialNumber), tr("Device Serial"), serial, m_device->serial()},
        {quint32(GeneralId::e_sid_DeviceType), tr("Device Type"), type, m_device->deviceType()},
        {quint32(GeneralId::e_sid_HardwareRevision), tr("PCB Type"), pcbType, m_device->hardwareRevision()},
        {quint32(GeneralId::e_sid_PcbSerialNumber), tr("PCB Serial"), pcbSerial, m_device->pcbSerial()},
    };
    QHash<quint32, QByteArray> values;
    QStringList summary;
    for (const Field& f : fields) {
        // An empty field or "unknown" is no entry: the board keeps what it has.
        if (f.text.isEmpty() || f.text == QLatin1String(kUnknownType) || f.text == f.current) {
            continue;
        }
        if (!isPrintableLatin1(f.text)) {
            ui->lblParametersMessage->setText(
                tr("%1 \"%2\" holds characters the device cannot store; nothing was written.")
                    .arg(f.label, f.text));
            return;
        }
        values.insert(f.id, f.text.toLatin1());
        summary << tr("%1: \"%2\" \u2192 \"%3\"").arg(f.label, f.current, f.text);
    }
    if (values.isEmpty()) {
        ui->lblParametersMessage->setText(tr("Nothing changed; nothing was written."));
        return;
    }
    ui->lblParametersMessage->clear();
    confirm(QStringLiteral("writeParametersQuestion"),
            tr("Write to %1 and restart it?\n\n%2")
                .arg(BaseDevice::tr(m_device->name().toUtf8().constData()), summary.join(QLatin1Char('\n'))),
            [this, values] {
                SnapshotFirst::run(
                    this, [this]() -> BaseDevice* { return m_device; },
                    [this, values] {
                        m_parametersPending = true;
                        ui->lblParametersMessage->setText(tr("Writing the parameters..."));
                        followParameters(m_device->sendDeviceOptions(values));
                    });
            });
}

void ProductionWidget::followParameters(Operation* send)
{
    // The values are set first and then stored; the device restarts only after a store that worked.
    connect(send, &Operation::finished, this, [this, send](int result, QString message) {
        if (!m_parametersPending) {
            return;
        }
        if (result != 0) {
            showParametersOutcome(true, result, message);
        } else if (Operation* store = send->followUp()) {
            connect(store, &Operation::finished, this, [this](int stored, QString why) {
                if (m_parametersPending) {
                    showParametersOutcome(false, stored, why);
                }
            });
        }
    });
}

void ProductionWidget::showParametersOutcome(bool set, int result, const QString& message)
{
    m_parametersPending = false;
    if (result == 0) {
        ui->lblParametersMessage->setText(tr("Parameters sent; the device restarts."));
        return;
    }
    ui->lblParametersMessage->setText(
        (set ? tr("Writing the parameters failed; nothing was stored.")
             : tr("Storing the parameters failed; the device keeps its previous values.")) +
        (message.isEmpty() ? QString() : QLatin1Char(' ') + message));
}

void ProductionWidget::confirm(const QString& objectName, const QString& text, std::function<void()> onYes)
{
    DeviceConfirmation::ask(
        this, objectName, text, [this]() -> BaseDevice* { return m_device; }, std::move(onYes));
}

// --- option description file and functions -------------------------------------------------------

void ProductionWidget::showOptionsState(const QString& text)
{
    ui->lblOptionsState->setText(text);
}

void ProductionWidget::clearFunctions()
{
    const QList<QToolButton*> buttons = ui->widgetOptionsList->findChildren<QToolButton*>();
    for (QToolButton* button : buttons) {
        disconnect(button, nullptr, this, nullptr);
        ui->widgetOptionsList->layout()->removeWidget(button);
        delete button;
    }
    m_functions.clear();
    ui->lblUpdateOnlyFirmware->clear();
    ui->widgetOptionsList->setEnabled(false);
    ui->firmwareWidget->setEnabled(false);
}

QString ProductionWidget::refusalText(const OptionFunctions::Refusal& refusal)
{
    switch (refusal.reason) {
    case OptionFunctions::Refusal::IdNotNumber:
        return tr("option id \"%1\" is not a number").arg(refusal.id);
    case OptionFunctions::Refusal::UnknownType:
        return tr("option %1 has the unknown type \"%2\"").arg(refusal.id, refusal.type);
    case OptionFunctions::Refusal::None:
        break;
    }
    return QString();
}

void ProductionWidget::reloadOptionsFile(QString path)
{
    // A function of another board must never be offered or recognised for this one: every reload
    // starts from nothing.
    clearFunctions();
    const QString fileName = QLatin1String(OptionFunctions::kFileName);
    const int result = m_device ? m_functions.load(path, m_device->deviceType(), m_device->hardwareRevision())
                                : m_functions.locate(path);
    if (result != OptionFunctions::Loaded) {
        showOptionsState(
            result == OptionFunctions::NoDirectory
                ? tr("No firmware directory is set, so there is no %1: choose a firmware file on "
                     "the Service page first.")
                      .arg(fileName)
                : tr("unable to load file %1")
                      .arg(QDir::toNativeSeparators(OptionFunctions::filePath(path))));
        setDeviceFunction(m_deviceFunction);
        return;
    }
    if (!m_device) {
        return;
    }
    const QString type = m_device->deviceType();
    const QString revision = m_device->hardwareRevision();
    ui->lblUpdateOnlyFirmware->setText(m_functions.baseFirmware());
    if (type.isEmpty() || revision.isEmpty()) {
        showOptionsState(
            tr("The board reports no device type or hardware revision: no function is offered."));
        setDeviceFunction(m_deviceFunction);
        return;
    }

    QStringList refused;
    QWidget* tabPrevious = ui->btnWriteParameters; // the function buttons sit below the parameters
    for (const QString& name : m_functions.names()) {
        auto* button = new QToolButton(ui->widgetOptionsList);
        QWidget::setTabOrder(tabPrevious, button);
        tabPrevious = button;
        button->setText(name);
        button->setMinimumSize(60, 60);
        ui->widgetOptionsList->layout()->addWidget(button);
        connect(button, &QToolButton::clicked, this, &ProductionWidget::optionButton_clicked);

        const QString why = refusalText(m_functions.refusal(name));
        if (!why.isEmpty()) {
            button->setEnabled(false);
            button->setToolTip(Qt::convertFromPlainText(why));
            refused << tr("%1: %2").arg(name, why);
        }
    }

    showOptionsState(refused.isEmpty() ? QString()
                                       : tr("Functions that cannot be written:\n%1").arg(refused.join('\n')));
    const bool haveFunctions = !m_functions.isEmpty();
    ui->widgetOptionsList->setEnabled(haveFunctions);
    ui->firmwareWidget->setEnabled(haveFunctions);
    if (!haveFunctions) {
        showOptionsState(tr("%1 offers no function for %2, PCB type %3.").arg(fileName, type, revision));
    }
    setDeviceFunction(m_deviceFunction);
    const QList<quint32> compared = m_functions.recognitionIds();
    if (!compared.isEmpty()) {
        m_device->readMultipleDeviceOptions(compared);
    }
}

void ProductionWidget::onDeviceOptionChanged(uint, QByteArray)
{
    if (!m_deviceFunction.isEmpty() || !m_device) {
        return;
    }
    QHash<quint32, QByteArray> stored;
    const QList<quint32> compared = m_functions.recognitionIds();
    for (quint32 id : compared) {
        if (m_device->hasDeviceOption(id)) {
            stored.insert(id, m_device->deviceOption(id));
        }
    }
    if (const std::optional<QString> name = m_functions.recognise(stored)) {
        setDeviceFunction(*name);
    }
}

void ProductionWidget::setDeviceFunction(const QString& name)
{
    m_deviceFunction = name;
    ui->lblDeviceFunction->setText(name.isEmpty() ? tr("no function") : name);
    m_firmwareName = m_functions.firmware(name);
    showFirmware();
    const QList<QToolButton*> buttons = ui->widgetOptionsList->findChildren<QToolButton*>();
    for (QToolButton* button : buttons) {
        button->setStyleSheet(!name.isEmpty() && button->text() == name
                                  ? QStringLiteral("background-color:green;")
                                  : QStringLiteral("background-color:lightgrey"));
    }
}

void ProductionWidget::showFirmware()
{
    ui->lblFirmwareVersion->clear();
    ui->lblFirmwareFilePath->clear();
    ui->lblFirmwareFilePath->setToolTip(QString());
    ui->btnUpdateFirmware->setEnabled(false);
    const QString directory = firmwareDirectory();
    if (m_firmwareName.isEmpty() || directory.isEmpty()) {
        return;
    }
    const QString path = QDir(directory).filePath(m_firmwareName);
    FirmwareInfo info;
    QJsonObject rest;
    loadFirmware(path, &info, &rest);
    ui->lblFirmwareVersion->setText(info.firmwareVersion);
    ui->lblFirmwareFilePath->setText(QDir::toNativeSeparators(path));
    ui->lblFirmwareFilePath->setToolTip(Qt::convertFromPlainText(
        tr("Hardware type: %1\nSupported Hardware: %2\nRelease date: %3")
            .arg(info.type, info.supportedHardware.join(QLatin1Char(';')), info.createdAt)));
    ui->btnUpdateFirmware->setEnabled(!info.firmwareVersion.isEmpty() && !info.type.isEmpty() &&
                                      !info.supportedHardware.isEmpty() && !info.md5.isEmpty());
}

void ProductionWidget::optionButton_clicked()
{
    auto* button = qobject_cast<QAbstractButton*>(sender());
    if (!button || !m_device) {
        return;
    }
    const QString name = button->text();
    if (m_functions.options(name).isEmpty()) {
        return;
    }
    const QString why = refusalText(m_functions.refusal(name));
    if (!why.isEmpty()) {
        showOptionsState(tr("Function %1 is not written: %2").arg(name, why));
        return;
    }
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    const QHash<quint32, QByteArray> values = m_functions.values(name);
    SnapshotFirst::run(
        this, [this]() -> BaseDevice* { return m_device; },
        [this, values] { m_device->sendDeviceOptions(values)->setPurpose(Operation::Purpose::Function); });
}

// --- firmware -------------------------------------------------------------------------------------

void ProductionWidget::updateFunctionFirmware()
{
    const QString directory = firmwareDirectory();
    if (!m_device || m_firmwareName.isEmpty() || directory.isEmpty()) {
        return;
    }
    const QString path = QDir(directory).filePath(m_firmwareName);
    if (!QFileInfo(path).isFile()) {
        logger()->error("firmware file not found {}", path);
        return;
    }
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    updateFirmwareAfterSnapshot(path);
}

void ProductionWidget::updateBaseFirmware()
{
    if (!m_device) {
        return;
    }
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    const QString directory = firmwareDirectory();
    const QString baseFirmware = m_functions.baseFirmware();
    const QString path =
        directory.isEmpty() || baseFirmware.isEmpty() ? QString() : QDir(directory).filePath(baseFirmware);
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        updateFirmwareAfterSnapshot(path);
        return;
    }
    auto* dialog = new QFileDialog(this, tr("Open Firmware file"), directory, QStringLiteral("*.firmware"));
    dialog->setObjectName(QStringLiteral("openBaseFirmwareDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    const QPointer<BaseDevice> askedFor = m_device;
    connect(dialog, &QFileDialog::finished, this, [this, dialog, askedFor](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty() || !QFileInfo(files.first()).isFile()) {
            return;
        }
        if (!askedFor || askedFor != m_device) {
            logger()->warn("The device changed while the file dialog was open; nothing was done");
            return;
        }
        updateFirmwareAfterSnapshot(files.first());
    });
    dialog->open();
}

void ProductionWidget::updateFirmwareAfterSnapshot(const QString& path)
{
    SnapshotFirst::run(
        this, [this]() -> BaseDevice* { return m_device; }, [this, path] { m_device->updateFirmware(path); });
}
