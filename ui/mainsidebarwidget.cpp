#include "ui/mainsidebarwidget.h"

#include "ui_mainsidebarwidget.h"

#include <QButtonGroup>

namespace {
constexpr int kLogoSize = 40;
} // namespace

MainSidebarWidget::MainSidebarWidget(QWidget* parent)
    : QFrame(parent), ui(std::make_unique<Ui::MainSidebarWidget>()), m_group(new QButtonGroup(this))
{
    ui->setupUi(this);

    const QPixmap logo = QPixmap(QStringLiteral(":/icons/Tessor_256px.png"))
                             .scaled(kLogoSize, kLogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    ui->logoButton->setIcon(QIcon(logo));
    ui->logoButton->setIconSize(QSize(kLogoSize, kLogoSize));

    m_group->setExclusive(true);
    m_group->addButton(ui->logoButton, 0);
    m_group->addButton(ui->infoButton, 1);
    m_group->addButton(ui->measurementsButton, 2);
    m_group->addButton(ui->serviceButton, 3);
    m_group->addButton(ui->productionButton, 4);
    m_group->addButton(ui->developButton, 5);
    connect(m_group, &QButtonGroup::idToggled, this, &MainSidebarWidget::buttonToggled);
}

MainSidebarWidget::~MainSidebarWidget() = default;

int MainSidebarWidget::checkedId() const
{
    return m_group->checkedId();
}

QAbstractButton* MainSidebarWidget::button(int id) const
{
    return m_group->button(id);
}

void MainSidebarWidget::setButtonVisible(int id, bool visible)
{
    if (QAbstractButton* b = m_group->button(id)) {
        b->setVisible(visible);
    }
}

void MainSidebarWidget::setCurrentPage(int id)
{
    if (QAbstractButton* b = m_group->button(id)) {
        b->setChecked(true);
    }
}

void MainSidebarWidget::buttonToggled(int id, bool checked)
{
    if (checked) {
        emit buttonChecked(id);
    }
}
