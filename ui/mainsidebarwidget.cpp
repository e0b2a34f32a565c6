#include "ui/mainsidebarwidget.h"

#include "ui_mainsidebarwidget.h"

#include <QButtonGroup>
#include <QIcon>
#include <QShortcut>

namespace {
constexpr int kLogoSize = 40;
} // namespace

MainSidebarWidget::MainSidebarWidget(QWidget* parent)
    : QFrame(parent), ui(std::make_unique<Ui::MainSidebarWidget>()), m_group(new QButtonGroup(this))
{
    ui->setupUi(this);

    // The icon scales the large logo down to whatever the screen's scale needs.
    ui->logoButton->setIcon(QIcon(QStringLiteral(":/icons/Tessor_256px.png")));
    ui->logoButton->setIconSize(QSize(kLogoSize, kLogoSize));

    m_group->setExclusive(true);
    m_group->addButton(ui->logoButton, 0);
    m_group->addButton(ui->infoButton, 1);
    m_group->addButton(ui->measurementsButton, 2);
    m_group->addButton(ui->serviceButton, 3);
    m_group->addButton(ui->productionButton, 4);
    m_group->addButton(ui->developButton, 5);
    m_group->addButton(ui->historyButton, 6);
    connect(m_group, &QButtonGroup::idToggled, this, &MainSidebarWidget::buttonToggled);

    // Ctrl+1 to Ctrl+7 follow the buttons from the top; a hidden button's page is not there to open.
    for (int id = 0; id < m_group->buttons().size(); ++id) {
        auto* shortcut = new QShortcut(QKeySequence(int(Qt::CTRL) + Qt::Key_1 + id), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, id] {
            QAbstractButton* b = m_group->button(id);
            if (b && !b->isHidden()) {
                b->setChecked(true);
            }
        });
    }
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
