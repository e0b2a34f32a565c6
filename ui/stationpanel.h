#pragma once

#include "core/baselogger.h"
#include "station/station.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class StationPanel;
}
class QLineEdit;
class Recorder;
class StationSerials;

// The Production page's station mode: the operator chooses the function, the firmware files and where
// the serials come from, presses Start, and from then on only plugs and unplugs boards. The same Station
// engine as the command line does the work; this panel only sets it up and shows, large enough to be
// read from across the bench, what the board on the line is doing and how it ended, with the run's
// counters and its last boards.
class StationPanel : public QWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit StationPanel(QWidget* parent = nullptr);
    ~StationPanel() override;

    // The window's records; null: the station records through one of its own from the settings.
    void setRecorder(Recorder* recorder);
    bool isRunning() const;
    // Re-reads the functions of the option file in the firmware directory.
    void reloadFunctions();

signals:
    void runningChanged(bool running);

private:
    enum class Shade
    {
        Idle,
        Waiting,
        Working,
        Pass,
        Fail
    };

    void start();
    void stop();
    void scanned();
    void chooseFile(QLineEdit* edit, const QString& objectName, const QString& title);
    void stepChanged(Station::Step step);
    void progress(int value, int maximum);
    void boardDone(const Station::Outcome& outcome);
    void finished();
    // `headline` large, `detail` (the reason, what to do next) smaller below it.
    void showState(Shade shade, const QString& headline, const QString& detail = QString());
    void showCounters();
    void setRunning(bool running);
    void updateSerialFields();
    static QString stepText(Station::Step step);

    std::unique_ptr<Ui::StationPanel> ui;
    QPointer<Recorder> m_recorder;
    std::unique_ptr<Recorder> m_ownRecorder;
    // The station goes before the serials it was handed.
    std::unique_ptr<StationSerials> m_serials;
    std::unique_ptr<Station> m_station;
    QString m_pendingScan;   // scanned before Start
    QString m_verdict;       // the last board's, kept on show until the next board begins
    QString m_verdictReason; // a failed board's step and reason
    Shade m_verdictShade = Shade::Idle;
    QElapsedTimer m_runClock;
};
