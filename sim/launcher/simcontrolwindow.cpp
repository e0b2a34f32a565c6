#include "sim/launcher/simcontrolwindow.h"

#include "sim/launcher/simlauncher.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
// Label shown in the fault list and the command it stands for (the instrument id is put in front).
struct FaultChoice
{
    const char* label;
    const char* command;
};
constexpr FaultChoice kFaults[] = {
    {"Connection probe fails (disconnect)", "probe-busy"},
    {"No answer to the chip id", "no-answer 0x10E"},
    {"No answer to option reads", "no-answer 21"},
    {"Late answers to option reads (300 ms)", "late-answer 21 300"},
    {"Wrong answer code to the software version", "wrong-answer 1 99"},
    {"Stall on the next reboot command", "pipe-error 275"},
    {"Vanish after 20 packets", "unplug-after 20"},
    {"Behave again", "clear"},
};
} // namespace

SimControlWindow::SimControlWindow(SimLauncher& launcher, QWidget* parent)
    : QWidget(parent, Qt::Window), m_launcher(launcher)
{
    setWindowTitle(tr("Simulated instruments"));
    auto* layout = new QGridLayout(this);

    m_kind = new QComboBox(this);
    m_kind->addItems(SimLauncher::kindNames());
    m_kind->setAccessibleName(tr("Instrument kind"));
    auto* plugButton = new QPushButton(tr("Plug in"), this);
    layout->addWidget(new QLabel(tr("Kind:"), this), 0, 0);
    layout->addWidget(m_kind, 0, 1);
    layout->addWidget(plugButton, 0, 2);

    m_instruments = new QListWidget(this);
    m_instruments->setAccessibleName(tr("Plugged instruments"));
    auto* unplugButton = new QPushButton(tr("Unplug"), this);
    layout->addWidget(m_instruments, 1, 0, 1, 2);
    layout->addWidget(unplugButton, 1, 2, Qt::AlignTop);

    m_fault = new QComboBox(this);
    m_fault->setAccessibleName(tr("Misbehaviour"));
    for (const FaultChoice& f : kFaults) {
        m_fault->addItem(tr(f.label), QString::fromLatin1(f.command));
    }
    auto* faultButton = new QPushButton(tr("Misbehave"), this);
    layout->addWidget(new QLabel(tr("Fault:"), this), 2, 0);
    layout->addWidget(m_fault, 2, 1);
    layout->addWidget(faultButton, 2, 2);

    m_command = new QLineEdit(this);
    m_command->setPlaceholderText(tr("command, e.g. help"));
    m_command->setAccessibleName(tr("Command"));
    layout->addWidget(m_command, 3, 0, 1, 3);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setAccessibleName(tr("Answers"));
    layout->addWidget(m_log, 4, 0, 1, 3);

    connect(plugButton, &QPushButton::clicked, this,
            [this] { run(QStringLiteral("plug ") + m_kind->currentText()); });
    connect(unplugButton, &QPushButton::clicked, this, [this] {
        if (selectedId() > 0) {
            run(QStringLiteral("unplug %1").arg(selectedId()));
        }
    });
    connect(faultButton, &QPushButton::clicked, this, [this] {
        if (selectedId() > 0) {
            run(QStringLiteral("fault %1 %2").arg(selectedId()).arg(m_fault->currentData().toString()));
        }
    });
    connect(m_command, &QLineEdit::returnPressed, this, [this] {
        run(m_command->text());
        m_command->clear();
    });
    connect(&m_launcher, &SimLauncher::instrumentsChanged, this, &SimControlWindow::refresh);
    connect(&m_launcher, &SimLauncher::output, m_log, &QPlainTextEdit::appendPlainText);
    refresh();
    resize(460, 360);
}

void SimControlWindow::refresh()
{
    const int selected = selectedId();
    m_instruments->clear();
    for (const SimLauncher::Plugged& p : m_launcher.instruments()) {
        auto* item = new QListWidgetItem(QStringLiteral("%1: %2").arg(p.id).arg(p.kind), m_instruments);
        item->setData(Qt::UserRole, p.id);
        if (p.id == selected) {
            m_instruments->setCurrentItem(item);
        }
    }
    if (!m_instruments->currentItem() && m_instruments->count() > 0) {
        m_instruments->setCurrentRow(m_instruments->count() - 1);
    }
}

void SimControlWindow::run(const QString& command)
{
    m_log->appendPlainText(QStringLiteral("> ") + command);
    for (const QString& line : m_launcher.execute(command)) {
        m_log->appendPlainText(line);
    }
}

int SimControlWindow::selectedId() const
{
    const QListWidgetItem* item = m_instruments->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}
