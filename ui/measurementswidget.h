#pragma once

#include "core/baselogger.h"
#include "measurements/datasetexport.h"
#include "measurements/vectarisdataset.h"
#include "ui/devicepage.h"

#include <QItemSelection>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class BaseDevice;
class ControlUnit;
class QProgressBar;
class QPushButton;
class QUrl;
class VectarisDataPointModel;
class VectarisDatasetModel;

namespace Ui {
class MeasurementsWidget;
}

// Page "measurementsWidget": the measurement series stored in the connected control unit. A list of
// the series, the details of the picked one (place, date, a picture of its track and a table of its
// points) and a tool bar to mark all series, reload them, export the marked ones (KML, GPX or CSV) and
// delete all of them on the unit. The page never talks to the instrument: it emits requests that the
// control unit it was handed (not owned) turns into jobs.
//
// An export runs on a thread of its own with a progress bar and Cancel in the tool bar; it writes the
// series as they were when it started, so a unit that goes meanwhile is not missed by it.
//
// The dialogs go through replaceable hooks, so that tests can answer them. An answer applies only to
// the unit that was shown when the dialog opened: if another one (or none) is attached by then, the
// page does nothing.
class MeasurementsWidget : public QWidget, public BaseLogger, public DevicePage
{
    Q_OBJECT

public:
    using ExportFormat = DatasetExport::Format;

    struct Dialogs
    {
        // The file to export to (empty: cancelled); selectedFilter holds the pre-selected filter on the
        // way in and the chosen one on the way out.
        std::function<QString(QWidget* parent, const QString& caption, const QString& filters,
                              QString* selectedFilter)>
            saveFileName;
        // Whether the user said Yes to `question`.
        std::function<bool(QWidget* parent, const QString& question)> confirm;
        std::function<void(QWidget* parent, const QString& message)> showError;
        // Opens a written file in the desktop's program for it; false when there is none.
        std::function<bool(const QUrl& url)> openUrl;
    };

    explicit MeasurementsWidget(QWidget* parent = nullptr);
    ~MeasurementsWidget() override;

    ControlUnit* device() const;
    // Only a control unit records series.
    bool serves(const BaseDevice* device) const override;
    // The file dialog, message boxes and the desktop's file opener.
    static Dialogs defaultDialogs();
    void setDialogs(const Dialogs& dialogs);

    // The filter text the save dialog offers for a format, and the format a filter (or else a file
    // name's suffix) stands for; KML when neither tells.
    static QString filterFor(ExportFormat format);
    static ExportFormat formatFor(const QString& filter, const QString& fileName);
    // fileName with the format's suffix appended when it has none.
    static QString withSuffix(const QString& fileName, ExportFormat format);

    VectarisDatasetModel* datasetModel() const { return m_datasetModel; }
    VectarisDataPointModel* dataPointModel() const { return m_pointModel; }

public slots:
    // Shows the series of a control unit; any other device counts as none.
    void setDevice(BaseDevice* device) override;
    void setDatasets(const QList<VectarisDataset>& datasets);

signals:
    void updateDataSets();
    void removeDataSets();
    // An export ended with a DatasetExport::Result; the page has shown or opened what it had to.
    void exportFinished(int result);

private slots:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void selectAllDatasets(bool checked);
    void refreshDatasets();
    void deleteDatasets();
    void exportSelected();
    void onDatasetModelChanged();

private:
    void showDetails(int row);
    void clearDetails();
    bool stillShowing(const QPointer<ControlUnit>& shown, bool hadDevice) const;
    void startExport(const QList<VectarisDataset>& datasets, const QString& fileName, ExportFormat format);
    void onExportProgress(qint64 done, qint64 total);
    void onExportFinished(DatasetExport* job, int result, const QString& reason);

    std::unique_ptr<Ui::MeasurementsWidget> ui;
    VectarisDatasetModel* m_datasetModel;
    VectarisDataPointModel* m_pointModel;
    QPointer<ControlUnit> m_device;
    Dialogs m_dialogs;
    QPointer<DatasetExport> m_export;
    QProgressBar* m_exportProgress;
    QPushButton* m_cancelExport;
    // Counts the details shown, so that a handler can tell whether a nested selection change did it.
    quint64 m_detailsShown = 0;
};
