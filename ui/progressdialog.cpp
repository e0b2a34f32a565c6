#include "ui/progressdialog.h"

#include "ui/qprogressindicator.h"
#include "ui_progressdialog.h"

#include <QProgressBar>

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), ui(std::make_unique<Ui::ProgressDialog>())
{
    ui->setupUi(this);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(kHideDelayMs);
    m_hideTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &ProgressDialog::hideNow);
    m_paintTimer.setSingleShot(true);
    m_paintTimer.setInterval(kPaintIntervalMs);
    connect(&m_paintTimer, &QTimer::timeout, this, &ProgressDialog::paintBarNow);
}

ProgressDialog::~ProgressDialog() = default;

QProgressIndicator* ProgressDialog::indicator() const
{
    return ui->progressWidget;
}

QProgressBar* ProgressDialog::bar() const
{
    return ui->progressBar;
}

void ProgressDialog::show()
{
    // A new job: whatever the previous one reported no longer applies.
    showSpinner();
    if (m_hideTimer.isActive()) {
        m_hideTimer.stop();
        return;
    }
    ui->progressWidget->startAnimation();
    QDialog::show();
}

void ProgressDialog::showFor(QObject* owner)
{
    m_owner = owner;
    show();
}

void ProgressDialog::deviceRemoved(const QObject* device)
{
    if (!m_owner || m_owner == device) {
        dismiss();
    }
}

void ProgressDialog::showSpinner()
{
    ui->progressBar->hide();
    ui->progressWidget->show();
    ui->label->setText(tr("Please wait..."));
}

void ProgressDialog::reject() {}

void ProgressDialog::hide()
{
    m_hideTimer.start();
}

void ProgressDialog::setProgress(const QString&, int value, int maximum, const QString& message)
{
    if (maximum <= 0) {
        return;
    }
    const QString text = message.isEmpty() ? tr("Please wait...") : message;
    const int shown = qBound(0, value, maximum);
    // The bar repaints itself at once (not queued) whenever its percentage changes; a step in between
    // is only painted once the paint interval is over. Its first value, the last one and a new text
    // are painted at once.
    const bool paintNow = ui->progressBar->isHidden() || shown == maximum || text != ui->label->text() ||
                          maximum != ui->progressBar->maximum();
    if (!paintNow && !m_paintTimer.isActive()) {
        m_paintTimer.start();
    }
    if (m_paintTimer.isActive()) {
        ui->progressBar->setUpdatesEnabled(false);
    }
    ui->progressWidget->hide();
    ui->progressBar->setRange(0, maximum);
    ui->progressBar->setValue(shown);
    ui->progressBar->show();
    ui->label->setText(text);
    if (paintNow) {
        paintBarNow();
    }
}

void ProgressDialog::paintBarNow()
{
    m_paintTimer.stop();
    ui->progressBar->setUpdatesEnabled(true); // paints what it holds now
}

void ProgressDialog::dismiss()
{
    m_hideTimer.stop();
    hideNow();
}

void ProgressDialog::hideNow()
{
    paintBarNow();
    QDialog::hide();
    ui->progressWidget->stopAnimation();
}
