#include "ui/stationpanel.h"

#include "core/settings.h"
#include "devices/snapshotstore.h"
#include "records/recorder.h"
#include "station/stationserials.h"
#include "ui_stationpanel.h"
#include "usb/usbmanager.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QListWidgetItem>

namespace {
// Only so many boards stay listed; the records keep them all.
constexpr int kListedBoards = 50;

QString joined(const QString& first, const QString& second)
{
    return first.isEmpty() ? second : first + QLatin1Char('\n') + second;
}

enum SerialChoice
{
    NoSerials,
    CounterSerials,
    ScannedSerials
};
} // namespace

StationPanel::StationPanel(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("StationPanel")), ui(std::make_unique<Ui::StationPanel>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("stationPanel"));
    connect(ui->btnStart, &QAbstractButton::clicked, this, &StationPanel::start);
    connect(ui->btnStop, &QAbstractButton::clicked, this, &StationPanel::stop);
    connect(ui->editScan, &QLineEdit::returnPressed, this, &StationPanel::scanned);
    connect(ui->comboSerials, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &StationPanel::updateSerialFields);
    connect(ui->btnFirmware, &QAbstractButton::clicked, this, [this] {
        chooseFile(ui->editFirmware, QStringLiteral("stationFirmwareDialog"), tr("Firmware file"));
    });
    connect(ui->btnBaseFirmware, &QAbstractButton::clicked, this, [this] {
        chooseFile(ui->editBaseFirmware, QStringLiteral("stationBaseFirmwareDialog"),
                   tr("Base firmware file"));
    });
    connect(Settings::instance(), &Settings::firmwarePathChanged, this, &StationPanel::reloadFunctions);
    QFont counters = ui->lblCounters->font();
    counters.setPointSize(18);
    counters.setBold(true);
    ui->lblCounters->setFont(counters);
    reloadFunctions();
    updateSerialFields();
    setRunning(false);
    showState(Shade::Idle, tr("Stopped"));
    showCounters();
}

StationPanel::~StationPanel()
{
    // The station must not outlive the serials nor report into a half-destroyed panel.
    if (m_station) {
        disconnect(m_station.get(), nullptr, this, nullptr);
    }
    m_station.reset();
}

void StationPanel::setRecorder(Recorder* recorder)
{
    m_recorder = recorder;
}

bool StationPanel::isRunning() const
{
    return m_station && m_station->isRunning();
}

void StationPanel::reloadFunctions()
{
    if (isRunning()) {
        return;
    }
    const QString chosen = ui->comboFunction->currentText();
    ui->comboFunction->clear();
    ui->comboFunction->addItems(Station::functionNames(Settings::instance()->firmwarePath()));
    const int index = ui->comboFunction->findText(chosen, Qt::MatchExactly);
    ui->comboFunction->setCurrentIndex(index >= 0 ? index : 0);
}

void StationPanel::updateSerialFields()
{
    const int choice = ui->comboSerials->currentIndex();
    ui->editRange->setVisible(choice == CounterSerials);
    ui->editScan->setVisible(choice == ScannedSerials);
}

void StationPanel::setRunning(bool running)
{
    for (QWidget* w : {static_cast<QWidget*>(ui->comboFunction), static_cast<QWidget*>(ui->editFirmware),
                       static_cast<QWidget*>(ui->btnFirmware), static_cast<QWidget*>(ui->editBaseFirmware),
                       static_cast<QWidget*>(ui->btnBaseFirmware), static_cast<QWidget*>(ui->comboSerials),
                       static_cast<QWidget*>(ui->editRange), static_cast<QWidget*>(ui->checkRework),
                       static_cast<QWidget*>(ui->btnStart)}) {
        w->setEnabled(!running);
    }
    ui->btnStop->setEnabled(running);
    emit runningChanged(running);
}

void StationPanel::chooseFile(QLineEdit* edit, const QString& objectName, const QString& title)
{
    const QString current = edit->text().trimmed();
    const QString directory =
        current.isEmpty() ? Settings::instance()->firmwarePath() : QFileInfo(current).absolutePath();
    auto* dialog = new QFileDialog(this, title, directory, QStringLiteral("*.firmware"));
    dialog->setObjectName(objectName);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    const QPointer<QLineEdit> target = edit;
    connect(dialog, &QFileDialog::finished, this, [this, dialog, target](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty() || !target || isRunning()) {
            return;
        }
        target->setText(files.first());
    });
    dialog->open();
}

void StationPanel::start()
{
    if (isRunning()) {
        return;
    }
    m_station.reset();
    m_serials = std::make_unique<StationSerials>();
    QString error;
    switch (ui->comboSerials->currentIndex()) {
    case CounterSerials:
        if (!m_serials->setRange(ui->editRange->text().trimmed(), &error)) {
            showState(Shade::Idle, tr("Cannot start"), error);
            return;
        }
        break;
    case ScannedSerials:
        m_serials->setScan();
        if (!m_pendingScan.isEmpty()) {
            m_serials->scanned(m_pendingScan);
        }
        break;
    default:
        break;
    }

    Station::Setup setup;
    setup.function = ui->comboFunction->currentText();
    setup.optionDirectory = Settings::instance()->firmwarePath();
    setup.firmware = ui->editFirmware->text().trimmed();
    setup.baseFirmware = ui->editBaseFirmware->text().trimmed();
    setup.rework = ui->checkRework->isChecked();
    setup.snapshotFolder = SnapshotStore::defaultFolder();
    setup.snapshotLimit = Settings::instance()->snapshotLimit();

    Recorder* recorder = m_recorder;
    if (!recorder) {
        if (!m_ownRecorder) {
            Recorder::Options options;
            QString recordsError;
            if (!Recorder::optionsFromSettings(&options, &recordsError)) {
                logger()->warn("service records: {}", recordsError);
            }
            m_ownRecorder = std::make_unique<Recorder>(options);
        }
        recorder = m_ownRecorder.get();
    }

    m_station = std::make_unique<Station>(UsbManager::instance(), recorder, m_serials.get());
    connect(m_station.get(), &Station::stepChanged, this, &StationPanel::stepChanged);
    connect(m_station.get(), &Station::progress, this, &StationPanel::progress);
    connect(m_station.get(), &Station::boardDone, this, &StationPanel::boardDone);
    connect(m_station.get(), &Station::finished, this, &StationPanel::finished);
    m_verdict.clear();
    m_verdictReason.clear();
    m_verdictShade = Shade::Idle;
    ui->listBoards->clear();
    m_runClock.start();
    setRunning(true);
    showState(Shade::Waiting, tr("Waiting for a board"));
    if (m_station->start(setup) < 0) {
        const QString reason = m_station->errorText();
        setRunning(false);
        showState(Shade::Idle, tr("Cannot start"), reason);
        return;
    }
    m_pendingScan.clear();
    showCounters();
}

void StationPanel::stop()
{
    if (isRunning()) {
        m_station->stop();
        if (isRunning()) {
            ui->btnStop->setEnabled(false);
            ui->lblCounters->setText(tr("Stopping after this board..."));
        }
    }
}

void StationPanel::scanned()
{
    const QString serial = ui->editScan->text().trimmed();
    ui->editScan->clear();
    if (serial.isEmpty()) {
        return;
    }
    if (isRunning()) {
        m_station->serialScanned(serial);
    } else {
        m_pendingScan = serial;
    }
    ui->editScan->setPlaceholderText(tr("next board: %1").arg(serial));
}

QString StationPanel::stepText(Station::Step step)
{
    switch (step) {
    case Station::Step::Waiting:
        return tr("waiting");
    case Station::Step::Kind:
        return tr("kind");
    case Station::Step::BaseFirmware:
        return tr("base firmware");
    case Station::Step::Snapshot:
        return tr("snapshot");
    case Station::Step::Identity:
        return tr("identity");
    case Station::Step::Function:
        return tr("function");
    case Station::Step::Firmware:
        return tr("firmware");
    case Station::Step::Reboot:
        return tr("reboot");
    case Station::Step::Verify:
        return tr("verify");
    case Station::Step::Unplug:
        return tr("unplug");
    }
    return QString();
}

void StationPanel::stepChanged(Station::Step step)
{
    switch (step) {
    case Station::Step::Waiting: {
        if (m_station && m_station->waitsForSerial()) {
            showState(Shade::Waiting, tr("Scan the serial of the next board"));
        } else if (!m_verdict.isEmpty()) {
            showState(m_verdictShade, m_verdict, joined(m_verdictReason, tr("Plug the next board.")));
        } else {
            showState(Shade::Waiting, tr("Waiting for a board"));
        }
        break;
    }
    case Station::Step::Unplug:
        showState(m_verdictShade, m_verdict, joined(m_verdictReason, tr("Unplug the board.")));
        break;
    default:
        showState(Shade::Working, tr("Working: %1").arg(stepText(step)));
        break;
    }
}

void StationPanel::progress(int value, int maximum)
{
    if (!m_station || maximum <= 0) {
        return;
    }
    const int percent = qBound(0, int(qint64(value) * 100 / maximum), 100);
    showState(Shade::Working, tr("Working: %1 %2 %").arg(stepText(m_station->step())).arg(percent));
}

void StationPanel::boardDone(const Station::Outcome& outcome)
{
    const QString serial = outcome.serial.isEmpty() ? QStringLiteral("-") : outcome.serial;
    QString line;
    if (outcome.passed) {
        m_verdict = tr("PASS %1").arg(serial);
        m_verdictReason.clear();
        m_verdictShade = Shade::Pass;
        line = tr("PASS %1 %2 s").arg(serial, QString::number(qRound(outcome.seconds)));
    } else {
        m_verdict = tr("FAIL %1").arg(serial);
        m_verdictReason = tr("%1: %2").arg(stepText(outcome.step), outcome.reason);
        m_verdictShade = Shade::Fail;
        line = tr("FAIL %1 %2: %3").arg(serial, stepText(outcome.step), outcome.reason);
    }
    showState(m_verdictShade, m_verdict, m_verdictReason);
    auto* item = new QListWidgetItem(line);
    item->setForeground(outcome.passed ? QColor(0x0d, 0x6b, 0x1a) : QColor(0xb0, 0x10, 0x18));
    ui->listBoards->insertItem(0, item);
    while (ui->listBoards->count() > kListedBoards) {
        delete ui->listBoards->takeItem(ui->listBoards->count() - 1);
    }
    showCounters();
}

void StationPanel::finished()
{
    setRunning(false);
    showCounters();
    if (m_verdict.isEmpty()) {
        showState(Shade::Idle, tr("Stopped"));
    } else {
        showState(m_verdictShade, m_verdict, joined(m_verdictReason, tr("Stopped")));
    }
}

void StationPanel::showState(Shade shade, const QString& headline, const QString& detail)
{
    // Strong backgrounds and large type: the verdict is read from the other end of the bench.
    const char* colours = "background-color: #5a6068; color: #ffffff;";
    switch (shade) {
    case Shade::Waiting:
        colours = "background-color: #1d4f9c; color: #ffffff;";
        break;
    case Shade::Working:
        colours = "background-color: #f2b600; color: #000000;";
        break;
    case Shade::Pass:
        colours = "background-color: #0e7a22; color: #ffffff;";
        break;
    case Shade::Fail:
        colours = "background-color: #c4121c; color: #ffffff;";
        break;
    case Shade::Idle:
        break;
    }
    ui->lblState->setStyleSheet(
        QStringLiteral("QLabel { %1 font-size: 36pt; font-weight: bold; padding: 8px; }")
            .arg(QLatin1String(colours)));
    ui->lblReason->setStyleSheet(
        QStringLiteral("QLabel { %1 font-size: 16pt; font-weight: bold; padding: 8px; }")
            .arg(QLatin1String(colours)));
    ui->lblState->setProperty("shade", int(shade));
    ui->lblState->setText(headline);
    ui->lblReason->setText(detail);
}

void StationPanel::showCounters()
{
    const int passed = m_station ? m_station->passed() : 0;
    const int failed = m_station ? m_station->failed() : 0;
    const double hours = m_runClock.isValid() ? m_runClock.elapsed() / 3600000.0 : 0;
    const double perHour = hours > 0 ? (passed + failed) / hours : 0;
    ui->lblCounters->setText(tr("Passed: %1    Failed: %2    Boards per hour: %3")
                                 .arg(passed)
                                 .arg(failed)
                                 .arg(perHour, 0, 'f', 0));
}
