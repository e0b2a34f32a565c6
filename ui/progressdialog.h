#pragma once

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class ProgressDialog;
}
class QProgressIndicator;

// The "Please wait..." window shown while the connected device works through its jobs. Hiding is
// delayed by two seconds so that a burst of short jobs does not make the window flicker; a show()
// within that time cancels the pending hide. The creator decides modality. GUI thread only.
class ProgressDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kHideDelayMs = 2000;

    explicit ProgressDialog(QWidget* parent = nullptr);
    ~ProgressDialog() override;

    QProgressIndicator* indicator() const;
    bool isHidePending() const { return m_hideTimer.isActive(); }

public slots:
    void show();
    void hide();
    // Accepted so that a device's progress signal can be connected; the window shows no details.
    void setProgress(const QString& name, int value, int maximum, const QString& message);

private:
    void hideNow();

    std::unique_ptr<Ui::ProgressDialog> ui;
    QTimer m_hideTimer;
};
