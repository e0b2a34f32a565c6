#include "ui/progressdialog.h"

#include "ui/qprogressindicator.h"
#include "ui_progressdialog.h"

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), ui(std::make_unique<Ui::ProgressDialog>())
{
    ui->setupUi(this);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(kHideDelayMs);
    m_hideTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &ProgressDialog::hideNow);
}

ProgressDialog::~ProgressDialog() = default;

QProgressIndicator* ProgressDialog::indicator() const
{
    return ui->progressWidget;
}

void ProgressDialog::show()
{
    if (m_hideTimer.isActive()) {
        m_hideTimer.stop();
        return;
    }
    ui->progressWidget->startAnimation();
    QDialog::show();
}

void ProgressDialog::hide()
{
    m_hideTimer.start();
}

void ProgressDialog::setProgress(const QString&, int, int, const QString&) {}

void ProgressDialog::hideNow()
{
    QDialog::hide();
    ui->progressWidget->stopAnimation();
}
