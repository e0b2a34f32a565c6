#include "ui/topbarwidget.h"

#include "ui_topbarwidget.h"

#include <QCoreApplication>

TopBarWidget::TopBarWidget(QWidget* parent) : QFrame(parent), ui(std::make_unique<Ui::TopBarWidget>())
{
    ui->setupUi(this);
    setTitle(QCoreApplication::applicationName());
    setSubTitle(tr("Version: ") + QCoreApplication::applicationVersion());

    connect(ui->closeButton, &QToolButton::clicked, this, &TopBarWidget::closeWindow);
    connect(ui->minButton, &QToolButton::clicked, this, &TopBarWidget::minimizeWindow);
    connect(ui->maxButton, &QToolButton::clicked, this, &TopBarWidget::maximizeWindow);
    connect(ui->restoreButton, &QToolButton::clicked, this, &TopBarWidget::restoreWindow);
    setWindowState(Qt::WindowNoState);
}

TopBarWidget::~TopBarWidget() = default;

bool TopBarWidget::isInTitleArea(const QPoint& globalPos) const
{
    return ui->titleWidget->geometry().contains(mapFromGlobal(globalPos));
}

void TopBarWidget::setTitle(const QString& text)
{
    ui->titleLabel->setText(text);
}

void TopBarWidget::setSubTitle(const QString& text)
{
    ui->subtitleLabel->setText(text);
}

void TopBarWidget::setWindowState(Qt::WindowStates states)
{
    if (states.testFlag(Qt::WindowMaximized)) {
        ui->minButton->show();
        ui->maxButton->hide();
        ui->restoreButton->show();
    } else if (!states.testFlag(Qt::WindowMinimized)) {
        ui->minButton->show();
        ui->maxButton->show();
        ui->restoreButton->hide();
    } else {
        ui->minButton->hide();
        ui->maxButton->show();
        ui->restoreButton->show();
    }
}
