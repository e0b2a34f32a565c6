#include "ui/aboutwidget.h"

#include "ui_aboutwidget.h"

#include <QCoreApplication>

AboutWidget::AboutWidget(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::AboutWidget>())
{
    ui->setupUi(this);
    ui->appNameLabel->setText(QCoreApplication::applicationName());
    ui->appVersionLabel->setText(tr("Version: ") + QCoreApplication::applicationVersion());
}

AboutWidget::~AboutWidget() = default;
