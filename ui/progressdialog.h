#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace Ui {
class ProgressDialog;
}
class QProgressBar;
class QProgressIndicator;

// The "Please wait..." window shown while the connected device works through its jobs. Hiding is
// delayed by two seconds so that a burst of short jobs does not make the window flicker; a show()
// within that time cancels the pending hide. The creator decides modality. GUI thread only.
// A job that reports progress with a maximum (the firmware update, the calibration) gets a bar and its
// message instead of the spinner until the next job starts. The user cannot dismiss the window: while
// it is shown a job runs, and hiding it would let more jobs be queued behind that one.
class ProgressDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kHideDelayMs = 2000;
    // A job may report hundreds of steps a second (one per option read); the bar takes every value at
    // once but is painted at most this often in between.
    static constexpr int kPaintIntervalMs = 40;

    explicit ProgressDialog(QWidget* parent = nullptr);
    ~ProgressDialog() override;

    QProgressIndicator* indicator() const;
    // Visible only while the current job reports progress with a maximum.
    QProgressBar* bar() const;
    bool isHidePending() const { return m_hideTimer.isActive(); }
    // The device whose job the window shows; null when shown without one or when that one is gone.
    QObject* owner() const { return m_owner; }

public slots:
    void show();
    // As show(), for a job of `owner` (a device), which is remembered until the next show.
    void showFor(QObject* owner);
    // A device went. Its jobs will never report their end, so the window is dismissed when it was
    // shown for that device, or for one that is gone already.
    void deviceRemoved(const QObject* device);
    void hide();
    // With maximum > 0: a bar at value of maximum and the message (if any) as the text; otherwise
    // the spinner stays.
    void setProgress(const QString& name, int value, int maximum, const QString& message);

    // Escape and close requests are refused; only hide() takes the window away.
    void reject() override;
    // Gone at once, pending hide or not: the main window closes. A window still shown when the
    // application is asked to quit keeps it running with nothing on screen.
    void dismiss();

private:
    void hideNow();
    void showSpinner();
    void paintBarNow();

    std::unique_ptr<Ui::ProgressDialog> ui;
    QTimer m_hideTimer;
    QTimer m_paintTimer; // runs while the bar holds a value not painted yet
    QPointer<QObject> m_owner;
};
