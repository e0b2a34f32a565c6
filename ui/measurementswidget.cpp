#include "ui/measurementswidget.h"

#include "core/qtformat.h"
#include "devices/controlunit.h"
#include "measurements/vectarisdatapointmodel.h"
#include "measurements/vectarisdatasetmodel.h"
#include "recording/recordingbridge.h"
#include "ui/trackpicturewidget.h"
#include "ui_measurementswidget.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QUrl>

namespace {

constexpr int kButtonSize = 60;
constexpr int kIconSize = 32;
// Rows beyond the visible ones that the table measures when it sizes its columns: the values of a
// series have similar widths, and measuring all of a long series would stall every switch.
constexpr int kResizePrecision = 30;
// The export bar counts in tenths of a percent: a point count may exceed what a bar holds.
constexpr int kProgressSteps = 1000;

struct FormatInfo
{
    MeasurementsWidget::ExportFormat format;
    const char* filter;
    const char* suffix;
};

const FormatInfo kFormats[] = {
    {MeasurementsWidget::ExportFormat::Kml, QT_TRANSLATE_NOOP("MeasurementsWidget", "Google Earth (*.kml)"),
     "kml"},
    {MeasurementsWidget::ExportFormat::Gpx, QT_TRANSLATE_NOOP("MeasurementsWidget", "GPX 1.1 (*.gpx)"),
     "gpx"},
    {MeasurementsWidget::ExportFormat::Csv, QT_TRANSLATE_NOOP("MeasurementsWidget", "CSV, UTF-8 (*.csv)"),
     "csv"},
};

const FormatInfo& infoFor(MeasurementsWidget::ExportFormat format)
{
    for (const FormatInfo& info : kFormats) {
        if (info.format == format)
            return info;
    }
    return kFormats[0];
}

} // namespace

MeasurementsWidget::MeasurementsWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("MeasurementsWidget")),
      ui(std::make_unique<Ui::MeasurementsWidget>()), m_datasetModel(new VectarisDatasetModel(this)),
      m_pointModel(new VectarisDataPointModel(this)), m_dialogs(defaultDialogs()),
      m_exportProgress(new QProgressBar(this)), m_cancelExport(new QPushButton(tr("Cancel"), this))
{
    ui->setupUi(this);
    connect(ui->selectAllButton, &QAbstractButton::clicked, this, &MeasurementsWidget::selectAllDatasets);
    connect(ui->refreshDataSetsButton, &QAbstractButton::clicked, this, &MeasurementsWidget::refreshDatasets);
    connect(ui->deleteButton, &QAbstractButton::clicked, this, &MeasurementsWidget::deleteDatasets);
    connect(ui->exportButton, &QAbstractButton::clicked, this, &MeasurementsWidget::exportSelected);
    setObjectName(QStringLiteral("measurementsWidget"));

    m_exportProgress->setObjectName(QStringLiteral("exportProgressBar"));
    m_exportProgress->setRange(0, kProgressSteps);
    m_exportProgress->setFormat(tr("Exporting: %p%"));
    m_exportProgress->setMaximumWidth(320);
    m_exportProgress->hide();
    m_cancelExport->setObjectName(QStringLiteral("cancelExportButton"));
    m_cancelExport->setToolTip(tr("Stop the export; the file is left as it was"));
    m_cancelExport->hide();
    ui->toolBarLayout->addWidget(m_exportProgress);
    ui->toolBarLayout->addWidget(m_cancelExport);
    connect(m_cancelExport, &QPushButton::clicked, this, [this] {
        m_cancelExport->setEnabled(false);
        if (m_export)
            m_export->cancel();
    });

    struct ButtonSetup
    {
        ToolButton* button;
        const char* icon;
        QString label;
        QString help;
        QKeySequence shortcut;
    };
    const ButtonSetup buttons[] = {
        {ui->selectAllButton, ":/icons/black/Unchecked_Checkbox_32px.png", tr("Select all"),
         tr("Mark all the measurement series"), QKeySequence(Qt::CTRL + Qt::Key_A)},
        {ui->refreshDataSetsButton, ":/icons/black/Refresh_32px.png", tr("Reload"),
         tr("Reload the data from the device"), QKeySequence(Qt::Key_F5)},
        {ui->exportButton, ":/icons/black/Export_32px.png", tr("Export"),
         tr("Export the marked measurement series"), QKeySequence(Qt::CTRL + Qt::Key_E)},
        // Deleting everything on the unit is never a key press away.
        {ui->deleteButton, ":/icons/black/Trash_32px.png", tr("Delete"),
         tr("Delete <b>all of the displayed</b> measurement series from the indicator unit.<br>\nThe "
            "deletion of "
            "individual measurement series is not possible."),
         QKeySequence()},
    };
    for (const ButtonSetup& setup : buttons) {
        QIcon icon(QString::fromLatin1(setup.icon));
        if (setup.button == ui->selectAllButton)
            icon.addFile(QStringLiteral(":/icons/black/Checked_Checkbox_32px.png"), QSize(), QIcon::Normal,
                         QIcon::On);
        setup.button->setIcon(icon);
        setup.button->setIconSize(QSize(kIconSize, kIconSize));
        setup.button->setFixedSize(kButtonSize, kButtonSize);
        setup.button->setAutoRaise(true);
        setup.button->setLabel(setup.label);
        setup.button->setWhatsThisHelp(setup.help);
        setup.button->setButtonShortcut(setup.shortcut);
        setup.button->setLabelVisible(false);
        setup.button->setAccessibleName(setup.label);
    }

    ui->datasetsListView->setModel(m_datasetModel);
    ui->datasetsListView->setModelColumn(VectarisDatasetModel::DateColumn);
    ui->datasetsListView->setSelectionRectVisible(true);
    connect(ui->datasetsListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MeasurementsWidget::selectionChanged);
    // Every kind of change can alter the number of series, so each one re-evaluates "select all".
    connect(m_datasetModel, &QAbstractItemModel::modelReset, this,
            &MeasurementsWidget::onDatasetModelChanged);
    connect(m_datasetModel, &QAbstractItemModel::layoutChanged, this,
            &MeasurementsWidget::onDatasetModelChanged);
    connect(m_datasetModel, &QAbstractItemModel::rowsInserted, this,
            &MeasurementsWidget::onDatasetModelChanged);
    connect(m_datasetModel, &QAbstractItemModel::rowsRemoved, this,
            &MeasurementsWidget::onDatasetModelChanged);
    connect(m_datasetModel, &QAbstractItemModel::dataChanged, this,
            &MeasurementsWidget::onDatasetModelChanged);

    QTableView* table = ui->pointsTableView;
    table->setModel(m_pointModel);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setResizeContentsPrecision(kResizePrecision);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setHighlightSections(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    for (int value = 0; value < TrackPictureWidget::ValueCount; ++value)
        ui->colourComboBox->addItem(TrackPictureWidget::valueName(value), value);
    ui->colourComboBox->setCurrentIndex(ui->trackPictureWidget->colourValue());
    connect(ui->colourComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        ui->trackPictureWidget->setColourValue(ui->colourComboBox->itemData(index).toInt());
    });

    ui->pageSplitter->setStretchFactor(0, 1);
    ui->pageSplitter->setStretchFactor(1, 3);
    ui->detailsSplitter->setStretchFactor(0, 1);
    ui->detailsSplitter->setStretchFactor(1, 1);
    clearDetails();
    onDatasetModelChanged();
}

MeasurementsWidget::~MeasurementsWidget() = default;

MeasurementsWidget::Dialogs MeasurementsWidget::defaultDialogs()
{
    Dialogs dialogs;
    dialogs.saveFileName = [](QWidget* parent, const QString& caption, const QString& filters,
                              QString* selectedFilter) {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filters, selectedFilter);
    };
    // Plain text: the messages quote file names and series titles.
    dialogs.confirm = [](QWidget* parent, const QString& question) {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), question,
                        QMessageBox::Yes | QMessageBox::Cancel, parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.showError = [](QWidget* parent, const QString& message) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok,
                        parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    dialogs.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return dialogs;
}

void MeasurementsWidget::setDialogs(const Dialogs& dialogs)
{
    m_dialogs = dialogs;
}

ControlUnit* MeasurementsWidget::device() const
{
    return m_device;
}

QString MeasurementsWidget::filterFor(ExportFormat format)
{
    return tr(infoFor(format).filter);
}

MeasurementsWidget::ExportFormat MeasurementsWidget::formatFor(const QString& filter, const QString& fileName)
{
    for (const FormatInfo& info : kFormats) {
        if (!filter.isEmpty() && filter == tr(info.filter))
            return info.format;
    }
    const QString suffix = QFileInfo(fileName).suffix();
    for (const FormatInfo& info : kFormats) {
        if (suffix.compare(QLatin1String(info.suffix), Qt::CaseInsensitive) == 0)
            return info.format;
    }
    return ExportFormat::Kml;
}

QString MeasurementsWidget::withSuffix(const QString& fileName, ExportFormat format)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + QLatin1String(infoFor(format).suffix);
}

bool MeasurementsWidget::serves(const BaseDevice* device) const
{
    return qobject_cast<const ControlUnit*>(device) != nullptr;
}

void MeasurementsWidget::setDevice(BaseDevice* device)
{
    auto* controlUnit = qobject_cast<ControlUnit*>(device);
    // The same unit again changes nothing: no second set of connections, no second read.
    if (controlUnit && controlUnit == m_device)
        return;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(this, nullptr, m_device, nullptr);
    }
    m_device = controlUnit;
    // The series of a unit never outlive it on the page.
    m_datasetModel->clear();
    m_pointModel->clear();
    clearDetails();
    if (!controlUnit)
        return;
    connect(this, &MeasurementsWidget::updateDataSets, controlUnit, &ControlUnit::updateDataSets);
    connect(this, &MeasurementsWidget::removeDataSets, controlUnit, &ControlUnit::removeDataSets);
    connect(controlUnit, &ControlUnit::datasetsChanged, this, &MeasurementsWidget::setDatasets);
    emit updateDataSets();
}

void MeasurementsWidget::setDatasets(const QList<VectarisDataset>& datasets)
{
    m_datasetModel->setDatasets(datasets);
    if (datasets.isEmpty()) {
        clearDetails();
        return;
    }
    // The first series may already be current and selected from the previous list; its details are
    // shown again all the same, as its contents may have changed.
    const quint64 shown = m_detailsShown;
    ui->datasetsListView->setCurrentIndex(m_datasetModel->index(0, VectarisDatasetModel::DateColumn));
    if (m_detailsShown == shown)
        showDetails(0);
}

void MeasurementsWidget::selectionChanged(const QItemSelection& selected,
                                          const QItemSelection& /*deselected*/)
{
    QModelIndex index = selected.indexes().isEmpty() ? QModelIndex() : selected.indexes().first();
    if (!index.isValid()) {
        // Nothing left selected: the first series is picked again, which replaces the selection.
        index = m_datasetModel->index(0, VectarisDatasetModel::DateColumn);
        if (!index.isValid())
            return;
        const quint64 shown = m_detailsShown;
        ui->datasetsListView->setCurrentIndex(index);
        if (m_detailsShown != shown)
            return;
    }
    showDetails(index.row());
}

void MeasurementsWidget::showDetails(int row)
{
    ++m_detailsShown;
    const QVariant value = m_datasetModel->index(row, VectarisDatasetModel::PointsColumn).data();
    if (!value.isValid())
        return;
    const VectarisDataPoints points = value.value<VectarisDataPoints>();
    m_pointModel->setDataPoints(points);
    ui->trackPictureWidget->setDataPoints(points);
    const bool hasPoints = !points.isEmpty();
    ui->pointsTableView->setVisible(hasPoints);
    ui->trackPictureWidget->setVisible(hasPoints);
    ui->colourLabel->setVisible(hasPoints);
    ui->colourComboBox->setVisible(hasPoints);
    if (hasPoints)
        ui->pointsTableView->scrollToTop();

    const QString title = m_datasetModel->index(row, VectarisDatasetModel::TitleColumn).data().toString();
    ui->locationLabel->setText(title.isEmpty() ? tr("Unknown location") : title);
    const QDateTime date =
        m_datasetModel->index(row, VectarisDatasetModel::DateColumn).data(Qt::UserRole).toDateTime();
    ui->dateLabel->setText(date.isNull() ? QString() : QLocale().toString(date, QLocale::ShortFormat));
}

void MeasurementsWidget::clearDetails()
{
    m_pointModel->clear();
    ui->trackPictureWidget->clear();
    ui->locationLabel->clear();
    ui->dateLabel->clear();
    ui->pointsTableView->hide();
    ui->trackPictureWidget->hide();
    ui->colourLabel->hide();
    ui->colourComboBox->hide();
}

void MeasurementsWidget::onDatasetModelChanged()
{
    QAbstractItemModel* model = ui->datasetsListView->model();
    ui->selectAllButton->setVisible(model && model->rowCount() >= 2);
}

void MeasurementsWidget::selectAllDatasets(bool checked)
{
    if (checked)
        ui->datasetsListView->selectAll();
    else
        ui->datasetsListView->clearSelection();
}

void MeasurementsWidget::refreshDatasets()
{
    emit updateDataSets();
}

bool MeasurementsWidget::stillShowing(const QPointer<ControlUnit>& shown, bool hadDevice) const
{
    return hadDevice ? !shown.isNull() && shown == m_device : m_device.isNull();
}

void MeasurementsWidget::deleteDatasets()
{
    ui->datasetsListView->selectAll();
    const QPointer<ControlUnit> shown = m_device;
    const bool hadDevice = !shown.isNull();
    if (!m_dialogs.confirm ||
        !m_dialogs.confirm(this, tr("Do you want to remove all datasets on the device?")))
        return;
    if (!hadDevice || !stillShowing(shown, hadDevice)) {
        logger()->info("Delete confirmed after the control unit changed; nothing deleted");
        return;
    }
    emit removeDataSets();
}

void MeasurementsWidget::exportSelected()
{
    QList<VectarisDataset> datasets;
    QSet<int> rows;
    for (const QModelIndex& index : ui->datasetsListView->selectionModel()->selectedIndexes()) {
        if (rows.contains(index.row()))
            continue;
        rows.insert(index.row());
        datasets.append(m_datasetModel->dataset(index));
    }
    if (datasets.isEmpty())
        return;

    const QPointer<ControlUnit> shown = m_device;
    const bool hadDevice = !shown.isNull();
    QStringList filters;
    for (const FormatInfo& info : kFormats)
        filters << tr(info.filter);
    QString filter = filterFor(ExportFormat::Kml);
    const QString chosen = m_dialogs.saveFileName
                               ? m_dialogs.saveFileName(this, tr("Export measurement series"),
                                                        filters.join(QStringLiteral(";;")), &filter)
                               : QString();
    if (chosen.isEmpty())
        return;
    if (!stillShowing(shown, hadDevice)) {
        logger()->info("Export chosen after the control unit changed; nothing written");
        return;
    }
    const ExportFormat format = formatFor(filter, chosen);
    startExport(datasets, withSuffix(chosen, format), format);
}

void MeasurementsWidget::startExport(const QList<VectarisDataset>& datasets, const QString& fileName,
                                     ExportFormat format)
{
    auto* job = new DatasetExport(datasets, fileName, format, this);
    m_export = job;
    connect(job, &DatasetExport::progressChanged, this, &MeasurementsWidget::onExportProgress);
    qint64 points = 0;
    for (const VectarisDataset& dataset : datasets)
        points += dataset.points.size();
    const QPointer<ControlUnit> from = m_device;
    const int series = int(datasets.size());
    connect(job, &DatasetExport::finished, this,
            [this, job, from, series, points](int result, const QString& reason) {
                RecordingBridge::recordDatasetExport(from, QString::fromLatin1(infoFor(job->format()).suffix),
                                                     series, points, job->fileName(), result, reason);
                onExportFinished(job, result, reason);
            });
    ui->exportButton->setEnabled(false);
    m_exportProgress->setValue(0);
    m_exportProgress->show();
    m_cancelExport->setEnabled(true);
    m_cancelExport->show();
    // Started from the event loop: the click returns at once, and whoever watches the job has the
    // chance to connect to it before its thread runs.
    QMetaObject::invokeMethod(job, &DatasetExport::start, Qt::QueuedConnection);
}

void MeasurementsWidget::onExportProgress(qint64 done, qint64 total)
{
    m_exportProgress->setValue(total > 0 ? int(done * kProgressSteps / total) : kProgressSteps);
}

void MeasurementsWidget::onExportFinished(DatasetExport* job, int result, const QString& reason)
{
    const QString fileName = job->fileName();
    job->deleteLater();
    m_export.clear();
    m_exportProgress->hide();
    m_cancelExport->hide();
    ui->exportButton->setEnabled(true);
    switch (result) {
    case DatasetExport::Written:
        // Without a program registered for the type there is nothing to open; the file is there all the
        // same.
        if (!m_dialogs.openUrl || !m_dialogs.openUrl(QUrl::fromLocalFile(fileName)))
            logger()->info("No program opened {}", fileName);
        break;
    case DatasetExport::Cancelled:
        logger()->info("Export to {} cancelled; nothing written", fileName);
        break;
    default:
        logger()->error("Export to {} failed: {}", fileName, reason);
        if (m_dialogs.showError) {
            m_dialogs.showError(this, tr("The measurement series could not be saved to %1.")
                                              .arg(QDir::toNativeSeparators(fileName)) +
                                          QLatin1Char('\n') + reason);
        }
        break;
    }
    emit exportFinished(result);
}
