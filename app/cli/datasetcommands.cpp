#include "app/cli/datasetcommands.h"

#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clifiles.h"
#include "app/cli/clireport.h"
#include "app/cli/clisafeguard.h"
#include "app/cli/clitext.h"
#include "app/cli/devicecommands.h"
#include "app/cli/devicewatch.h"
#include "devices/controlunit.h"
#include "devices/snapshotstore.h"
#include "measurements/isotimetext.h"
#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"
#include "recording/recordingbridge.h"

#include <QDir>
#include <QJsonArray>
#include <QPointer>

#include <libusb.h>

namespace {

// "2019-05-01T14:45:12+02:00": the same text on every machine, whatever its language, and an instant
// that a script can compare.
QString isoDate(const QDateTime& date)
{
    return QString::fromLatin1(IsoTimeText().withOffset(date));
}

// The series' name: its title, else the time it was started.
QString nameOf(const VectarisDataset& dataset)
{
    return dataset.title.isEmpty() ? isoDate(dataset.date) : dataset.title;
}

int pointsWithPosition(const VectarisDataset& dataset)
{
    int count = 0;
    for (const VectarisDataPoint& point : dataset.points) {
        count += point.position.isValid() ? 1 : 0;
    }
    return count;
}

QString formatName(CliArguments::Format format)
{
    switch (format) {
    case CliArguments::Format::Gpx:
        return QStringLiteral("gpx");
    case CliArguments::Format::Csv:
        return QStringLiteral("csv");
    case CliArguments::Format::Kml:
        break;
    }
    return QStringLiteral("kml");
}

} // namespace

DatasetCommands::DatasetCommands(const CliContext& context) : m_context(context) {}

QJsonObject DatasetCommands::datasetJson(int number, const VectarisDataset& dataset)
{
    return QJsonObject{
        {QStringLiteral("number"), number},
        {QStringLiteral("name"), nameOf(dataset)},
        {QStringLiteral("title"), dataset.title},
        {QStringLiteral("date"), dataset.date.isValid() ? QJsonValue(isoDate(dataset.date)) : QJsonValue()},
        {QStringLiteral("points"), dataset.points.size()},
        {QStringLiteral("pointsWithPosition"), pointsWithPosition(dataset)},
    };
}

bool DatasetCommands::fetch(ControlUnit* unit, QList<VectarisDataset>* datasets)
{
    DeviceWatch watch(unit, m_context.console);
    m_context.console.note(tr("Reading the measurement series..."));
    const DeviceWatch::Outcome outcome = watch.waitFor(unit->updateDataSets());
    if (!outcome.cameBack) {
        m_context.report.fail(
            CliExitCode::InstrumentFailed,
            CliText::translate("DatasetCommands", "The instrument went away while its series were read."),
            LIBUSB_ERROR_NO_DEVICE);
        return false;
    }
    if (outcome.result != 0) {
        m_context.report.fail(
            CliExitCode::InstrumentFailed,
            outcome.message.isEmpty()
                ? CliText::translate("DatasetCommands", "The measurement series could not be read.")
                : CliText(outcome.message),
            outcome.result);
        return false;
    }
    *datasets = outcome.datasets;
    return true;
}

int DatasetCommands::list(ControlUnit* unit)
{
    QList<VectarisDataset> datasets;
    if (!fetch(unit, &datasets)) {
        return m_context.report.exitCode();
    }
    QJsonArray list;
    for (int i = 0; i < datasets.size(); ++i) {
        const VectarisDataset& dataset = datasets.at(i);
        list.append(datasetJson(i + 1, dataset));
        m_context.console.print(tr("%1  %2  %n points, %3 with position", nullptr, int(dataset.points.size()))
                                    .arg(QStringLiteral("%1").arg(i + 1, 3), nameOf(dataset),
                                         QString::number(pointsWithPosition(dataset))));
    }
    if (datasets.isEmpty()) {
        m_context.console.print(tr("No measurement series on the control unit."));
    }
    m_context.report.insert(QStringLiteral("datasets"), list);
    return m_context.report.exitCode();
}

int DatasetCommands::exportTo(ControlUnit* unit)
{
    CliReport& report = m_context.report;
    const CliArguments& arguments = m_context.arguments;
    const QString output = arguments.output();
    CliText reason;
    if (!CliFiles::canWrite(output, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }
    QList<VectarisDataset> datasets;
    if (!fetch(unit, &datasets)) {
        return report.exitCode();
    }
    QList<VectarisDataset> chosen;
    QJsonArray exported;
    const QList<int> numbers = arguments.series();
    if (numbers.isEmpty()) {
        chosen = datasets;
        for (int i = 0; i < datasets.size(); ++i) {
            exported.append(datasetJson(i + 1, datasets.at(i)));
        }
    }
    for (const int number : numbers) {
        if (number > datasets.size()) {
            return report.fail(CliExitCode::Usage,
                               CliText::translate("DatasetCommands",
                                                  "There is no series %1: the control unit holds %n.",
                                                  nullptr, int(datasets.size()))
                                   .arg(number));
        }
        chosen.append(datasets.at(number - 1));
        exported.append(datasetJson(number, datasets.at(number - 1)));
    }

    bool written = false;
    switch (arguments.format()) {
    case CliArguments::Format::Kml:
        written = VectarisDatasetsToKmlFile(chosen, output);
        break;
    case CliArguments::Format::Gpx:
        written = VectarisDatasetsToGpxFile(chosen, output);
        break;
    case CliArguments::Format::Csv:
        written = VectarisDatasetsToCsvFile(chosen, output);
        break;
    }
    qint64 points = 0;
    for (const VectarisDataset& dataset : qAsConst(chosen)) {
        points += dataset.points.size();
    }
    const CliText failure = CliText::translate("DatasetCommands", "Cannot write %1; no file was left behind.")
                                .arg(QDir::toNativeSeparators(output));
    RecordingBridge::recordDatasetExport(unit, formatName(arguments.format()), int(chosen.size()), points,
                                         output, written ? 0 : -1, written ? QString() : failure.english());
    if (!written) {
        return report.fail(CliExitCode::FileError, failure);
    }
    report.insert(QStringLiteral("file"), output);
    report.insert(QStringLiteral("format"), formatName(arguments.format()));
    report.insert(QStringLiteral("datasets"), exported);
    m_context.console.print(
        tr("%n series written to %1 (%2)", nullptr, int(chosen.size()))
            .arg(QDir::toNativeSeparators(output), formatName(arguments.format()).toUpper()));
    return report.exitCode();
}

int DatasetCommands::clear(ControlUnit* unit)
{
    CliReport& report = m_context.report;
    const CliArguments& arguments = m_context.arguments;
    const QString name = DeviceCommands::title(*unit).shown();
    const QPointer<ControlUnit> alive(unit);
    CliSafeguard safeguard(m_context.console, report, arguments.yes(), arguments.withoutSnapshot());
    SnapshotStore store(m_context.snapshotFolder, m_context.snapshotLimit);
    if (!safeguard.mayAsk(QStringLiteral("datasets clear")) ||
        !safeguard.confirm(tr("Delete every measurement series on %1?").arg(name)) ||
        !safeguard.snapshot(unit, store)) {
        return report.exitCode();
    }
    if (!alive || !alive->isConnected()) {
        return report.fail(CliExitCode::InstrumentFailed,
                           CliText::translate("DatasetCommands", "The instrument went away after its options "
                                                                 "snapshot; nothing was deleted."),
                           LIBUSB_ERROR_NO_DEVICE);
    }
    DeviceWatch watch(unit, m_context.console);
    const DeviceWatch::Outcome cleared = watch.waitFor(unit->removeDataSets());
    if (!cleared.cameBack) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            CliText::translate("DatasetCommands", "The instrument went away while its series were deleted."),
            LIBUSB_ERROR_NO_DEVICE);
    }
    if (cleared.result != 0) {
        return report.fail(CliExitCode::InstrumentFailed,
                           cleared.message.isEmpty()
                               ? CliText::translate("DatasetCommands", "The series could not be deleted.")
                               : CliText(cleared.message),
                           cleared.result);
    }
    // The unit does not confirm a clear: the read that follows it tells what is left.
    const DeviceWatch::Outcome reread = watch.waitFor(cleared.followUp);
    const QList<VectarisDataset>& remaining = reread.datasets;
    if (!reread.cameBack || reread.result != 0) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            CliText::translate(
                "DatasetCommands",
                "The series were deleted, but the unit could not be read again to confirm it."),
            reread.cameBack ? reread.result : LIBUSB_ERROR_NO_DEVICE);
    }
    report.insert(QStringLiteral("remaining"), remaining.size());
    if (!remaining.isEmpty()) {
        return report.fail(CliExitCode::InstrumentFailed,
                           CliText::translate("DatasetCommands",
                                              "%n series are still on the control unit after the delete.",
                                              nullptr, int(remaining.size())));
    }
    m_context.console.print(tr("Every measurement series on %1 was deleted.").arg(name));
    return report.exitCode();
}
