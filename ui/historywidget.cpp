#include "ui/historywidget.h"

#include "devices/basedevice.h"
#include "records/recorder.h"
#include "ui/historyexport.h"
#include "ui/historyreader.h"
#include "ui_historywidget.h"

#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QStandardItemModel>

namespace {
struct OperationName
{
    const char* operation;
    const char* name;
};
const OperationName kOperations[] = {
    {ServiceEvent::kConnected, QT_TRANSLATE_NOOP("HistoryWidget", "Connected")},
    {ServiceEvent::kFirmwareUpdate, QT_TRANSLATE_NOOP("HistoryWidget", "Firmware update")},
    {ServiceEvent::kFactoryReset, QT_TRANSLATE_NOOP("HistoryWidget", "Factory reset")},
    {ServiceEvent::kTouchCalibration, QT_TRANSLATE_NOOP("HistoryWidget", "Touch calibration")},
    {ServiceEvent::kLanguagesSet, QT_TRANSLATE_NOOP("HistoryWidget", "Languages set")},
    {ServiceEvent::kParameterWrite, QT_TRANSLATE_NOOP("HistoryWidget", "Parameters written")},
    {ServiceEvent::kIdentityWrite, QT_TRANSLATE_NOOP("HistoryWidget", "Identity written")},
    {ServiceEvent::kFunctionWrite, QT_TRANSLATE_NOOP("HistoryWidget", "Functions written")},
    {ServiceEvent::kSnapshotTaken, QT_TRANSLATE_NOOP("HistoryWidget", "Snapshot taken")},
    {ServiceEvent::kSnapshotRestored, QT_TRANSLATE_NOOP("HistoryWidget", "Snapshot restored")},
    {ServiceEvent::kLogDownload, QT_TRANSLATE_NOOP("HistoryWidget", "Log downloaded")},
    {ServiceEvent::kLogClear, QT_TRANSLATE_NOOP("HistoryWidget", "Log cleared")},
    {ServiceEvent::kDatasetRead, QT_TRANSLATE_NOOP("HistoryWidget", "Datasets read")},
    {ServiceEvent::kDatasetExport, QT_TRANSLATE_NOOP("HistoryWidget", "Datasets exported")},
    {ServiceEvent::kDatasetClear, QT_TRANSLATE_NOOP("HistoryWidget", "Datasets cleared")},
};

// The operation in the user's words; one this tool does not know (a newer tool wrote it) as stored.
QString operationName(const QString& operation)
{
    for (const OperationName& entry : kOperations) {
        if (operation == QLatin1String(entry.operation)) {
            return HistoryWidget::tr(entry.name);
        }
    }
    return operation;
}

QString resultText(int result)
{
    if (result == 0) {
        return HistoryWidget::tr("OK");
    }
    return result < 0 ? HistoryWidget::tr("Failed (%1)").arg(result)
                      : HistoryWidget::tr("Warning (%1)").arg(result);
}

QString shownTime(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

HistoryWidget::HistoryWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("History")), ui(std::make_unique<Ui::HistoryWidget>()),
      m_model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    ui->eventsTableView->setModel(m_model);
    ui->eventsTableView->verticalHeader()->hide();
    ui->eventsTableView->horizontalHeader()->setStretchLastSection(true);
    ui->historySplitter->setStretchFactor(0, 3);
    ui->historySplitter->setStretchFactor(1, 1);
    fillOperations();
    m_saveFileName = [](QWidget* parent, const QString& caption, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
    };

    connect(ui->searchButton, &QPushButton::clicked, this, &HistoryWidget::searchSerials);
    connect(ui->serialCombo->lineEdit(), &QLineEdit::returnPressed, this, &HistoryWidget::searchSerials);
    connect(ui->serialCombo, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { showSerial(ui->serialCombo->itemText(index)); });
    connect(ui->operationCombo, QOverload<int>::of(&QComboBox::activated), this, [this] {
        m_offset = 0;
        readPage();
    });
    connect(ui->previousButton, &QPushButton::clicked, this, [this] {
        m_offset = qMax(0, m_offset - kPageSize);
        readPage();
    });
    connect(ui->nextButton, &QPushButton::clicked, this, [this] {
        m_offset += kPageSize;
        readPage();
    });
    connect(ui->exportCsvButton, &QPushButton::clicked, this, &HistoryWidget::exportCsv);
    connect(ui->exportJsonButton, &QPushButton::clicked, this, &HistoryWidget::exportJson);
    connect(ui->eventsTableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryWidget::showDetails);
    updateTexts();
}

HistoryWidget::~HistoryWidget() = default;

bool HistoryWidget::serves(const BaseDevice* device) const
{
    return device != nullptr;
}

void HistoryWidget::setDevice(BaseDevice* device)
{
    if (device == m_device) {
        return;
    }
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    m_device = device;
    if (!device) {
        return; // the last instrument's history stays: it is still true
    }
    connect(device, &BaseDevice::identityChanged, this, &HistoryWidget::onIdentity);
    onIdentity(device->identity());
}

void HistoryWidget::onIdentity(const DeviceIdentity& identity)
{
    if (!identity.serial.isEmpty() && identity.serial != m_serial) {
        showSerial(identity.serial);
    }
}

void HistoryWidget::setDatabase(const RecordsAddress& address)
{
    m_address = address;
    m_addressSet = true;
    m_notice.clear();
    m_failed = false;
    if (m_reader) {
        ++m_pending;
        m_reader->open(address);
        readPage();
    } else {
        ensureReader();
    }
}

void HistoryWidget::ensureReader()
{
    if (m_reader) {
        return;
    }
    if (!m_addressSet) {
        Recorder::Options options;
        QString error;
        if (!Recorder::optionsFromSettings(&options, &error)) {
            // The recorder writes to the local file then; so this shows that one.
            m_notice = tr("The records database in the settings cannot be used: %1").arg(error);
        }
        m_address = options.database;
        m_addressSet = true;
    }
    m_reader = new HistoryReader(this);
    connect(m_reader, &HistoryReader::opened, this, &HistoryWidget::onOpened);
    connect(m_reader, &HistoryReader::pageRead, this, &HistoryWidget::onPageRead);
    connect(m_reader, &HistoryReader::serialsFound, this, &HistoryWidget::onSerialsFound);
    ++m_pending;
    m_reader->open(m_address);
    readPage();
}

void HistoryWidget::onOpened(int result, const QString& text)
{
    --m_pending;
    m_failed = result < 0;
    if (result < 0) {
        m_notice = tr("The service records cannot be read. %1").arg(text);
        logger()->warn("{}", text);
    } else if (result > 0) {
        m_notice = tr("The records database was written by a newer version of this tool: it is shown, "
                      "and nothing is written to it. %1")
                       .arg(text);
    }
    updateTexts();
}

void HistoryWidget::showSerial(const QString& serial)
{
    m_serial = serial;
    m_offset = 0;
    if (ui->serialCombo->currentText() != serial) {
        ui->serialCombo->setEditText(serial);
    }
    readPage();
}

void HistoryWidget::readPage()
{
    if (!m_reader) {
        updateTexts();
        return;
    }
    RecordStore::Filter filter;
    filter.serial = m_serial;
    filter.operation = ui->operationCombo->currentData().toString();
    filter.limit = kPageSize;
    filter.offset = m_offset;
    if (m_serial.isEmpty()) {
        ++m_request; // an answer on its way is not wanted any more
        showRows({}, 0);
        return;
    }
    ++m_pending;
    m_reader->read(++m_request, filter);
    updateTexts();
}

void HistoryWidget::onPageRead(int request, const QList<ServiceEvent>& events, qint64 total)
{
    --m_pending;
    if (request == m_request) {
        showRows(events, total);
    } else {
        updateTexts();
    }
}

void HistoryWidget::showRows(const QList<ServiceEvent>& events, qint64 total)
{
    m_events = events;
    m_total = qMax<qint64>(total, 0);
    m_model->removeRows(0, m_model->rowCount());
    for (const ServiceEvent& e : qAsConst(events)) {
        QList<QStandardItem*> row{new QStandardItem(shownTime(e.time)),
                                  new QStandardItem(operationName(e.operation)),
                                  new QStandardItem(resultText(e.result)),
                                  new QStandardItem(e.station),
                                  new QStandardItem(e.user),
                                  new QStandardItem(e.message)};
        m_model->appendRow(row);
    }
    // The message, last, takes the room that is left.
    for (int column = 0; column + 1 < m_model->columnCount(); ++column) {
        ui->eventsTableView->resizeColumnToContents(column);
    }
    if (!events.isEmpty()) {
        ui->eventsTableView->setCurrentIndex(m_model->index(0, 0));
    }
    showDetails();
    updateTexts();
}

void HistoryWidget::searchSerials()
{
    const QString fragment = ui->serialCombo->currentText().trimmed();
    if (fragment.isEmpty()) {
        showSerial(m_device ? m_device->identity().serial : QString());
        return;
    }
    ensureReader();
    ++m_pending;
    m_reader->searchSerials(++m_request, fragment, kSerialMatches);
}

void HistoryWidget::onSerialsFound(int request, const QStringList& serials)
{
    --m_pending;
    if (request != m_request) {
        return;
    }
    const QString fragment = ui->serialCombo->currentText().trimmed();
    ui->serialCombo->clear();
    ui->serialCombo->addItems(serials);
    ui->serialCombo->setEditText(fragment);
    const int exact = serials.indexOf(fragment);
    if (exact >= 0 || serials.size() == 1) {
        ui->serialCombo->setCurrentIndex(exact >= 0 ? exact : 0);
        showSerial(serials.value(exact >= 0 ? exact : 0));
        return;
    }
    m_serial.clear();
    showRows({}, 0);
    if (serials.isEmpty()) {
        ui->statusLabel->setText(
            tr("No instrument with \"%1\" in its serial is in the records.").arg(fragment));
    } else {
        ui->statusLabel->setText(
            tr("%n instruments found: choose one from the list.", nullptr, serials.size()));
        if (isVisible()) {
            ui->serialCombo->showPopup();
        }
    }
}

void HistoryWidget::showDetails()
{
    const int row = ui->eventsTableView->currentIndex().row();
    if (row < 0 || row >= m_events.size()) {
        ui->detailsTextEdit->clear();
        return;
    }
    const ServiceEvent& e = m_events.at(row);
    QString details = QString::fromUtf8(QJsonDocument(e.detailsObject()).toJson(QJsonDocument::Indented));
    if (e.detailsObject().isEmpty() && e.details != QLatin1String("{}")) {
        details = e.details; // not an object this tool can read: the text as stored
    }
    const QStringList lines{
        tr("Event: %1").arg(e.id.toString(QUuid::WithoutBraces)),
        tr("Time: %1 (UTC %2)").arg(shownTime(e.time), e.time.toUTC().toString(Qt::ISODateWithMs)),
        tr("Operation: %1 (%2)").arg(operationName(e.operation), e.operation),
        tr("Serial: %1").arg(e.serial),
        tr("Instrument: %1, USB %2").arg(e.kind, e.usbId),
        tr("Result: %1").arg(resultText(e.result)),
        tr("Message: %1").arg(e.message),
        tr("Station: %1").arg(e.station),
        tr("User: %1").arg(e.user),
        tr("Tool version: %1").arg(e.toolVersion),
        tr("Interface: %1").arg(e.interfaceName),
        tr("Details:"),
        details.trimmed()};
    ui->detailsTextEdit->setPlainText(lines.join(QLatin1Char('\n')));
}

void HistoryWidget::fillOperations()
{
    const QString current = ui->operationCombo->currentData().toString();
    ui->operationCombo->clear();
    ui->operationCombo->addItem(tr("All operations"), QString());
    for (const OperationName& entry : kOperations) {
        ui->operationCombo->addItem(tr(entry.name), QLatin1String(entry.operation));
    }
    ui->operationCombo->setCurrentIndex(qMax(0, ui->operationCombo->findData(current)));
}

void HistoryWidget::updateTexts()
{
    m_model->setHorizontalHeaderLabels(
        {tr("Time"), tr("Operation"), tr("Result"), tr("Station"), tr("User"), tr("Message")});
    QString status;
    if (m_failed) {
        status = m_notice;
    } else if (m_serial.isEmpty()) {
        status = tr("Connect an instrument, or search for a serial.");
    } else if (!m_reader || isReading()) {
        status = tr("Reading the records of %1...").arg(m_serial);
    } else if (m_total == 0) {
        status = tr("No service records for %1.").arg(m_serial);
    } else if (m_total == 1) {
        status = tr("One event for %1.").arg(m_serial);
    } else {
        status =
            tr("%n events for %1, newest first.", nullptr, int(qMin<qint64>(m_total, INT_MAX))).arg(m_serial);
    }
    if (!m_failed && !m_notice.isEmpty()) {
        status = m_notice + QLatin1Char('\n') + status;
    }
    ui->statusLabel->setText(status);
    const bool rows = !m_events.isEmpty();
    ui->pageLabel->setText(rows ? tr("%1-%2 of %3")
                                      .arg(QLocale().toString(m_offset + 1),
                                           QLocale().toString(m_offset + m_events.size()),
                                           QLocale().toString(m_total))
                                : QString());
    ui->previousButton->setEnabled(m_offset > 0);
    ui->nextButton->setEnabled(m_offset + m_events.size() < m_total);
    ui->exportCsvButton->setEnabled(rows);
    ui->exportJsonButton->setEnabled(rows);
}

void HistoryWidget::exportCsv()
{
    exportRows(true);
}

void HistoryWidget::exportJson()
{
    exportRows(false);
}

void HistoryWidget::exportRows(bool csv)
{
    if (m_events.isEmpty() || !m_saveFileName) {
        return;
    }
    // What the user looked at when asking: the rows, and the instrument that was connected.
    const QList<ServiceEvent> rows = m_events;
    const QPointer<BaseDevice> shown = m_device;
    const bool hadDevice = !shown.isNull();
    const QString fileName =
        m_saveFileName(this, csv ? tr("Export history as CSV") : tr("Export history as JSON"),
                       csv ? tr("CSV files (*.csv)") : tr("JSON files (*.json)"));
    if (fileName.isEmpty()) {
        return;
    }
    if (hadDevice ? shown.isNull() || shown != m_device : !m_device.isNull()) {
        logger()->info("Export chosen after the instrument changed; nothing written");
        return;
    }
    QString reason;
    if (HistoryExport::save(fileName, csv ? HistoryExport::Format::Csv : HistoryExport::Format::Json, rows,
                            &reason)) {
        emit notify(NotificationMessageType::Success, tr("History saved to %1").arg(fileName));
    } else {
        emit notify(NotificationMessageType::Error,
                    tr("History could not be saved to %1: %2").arg(fileName, reason));
    }
}

void HistoryWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_reader) {
        readPage(); // what was recorded since it was last shown
    } else {
        ensureReader();
    }
}

void HistoryWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillOperations();
        updateTexts();
        showRows(QList<ServiceEvent>(m_events), m_total);
    }
    QWidget::changeEvent(event);
}
