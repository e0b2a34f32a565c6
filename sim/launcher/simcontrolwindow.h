#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class SimLauncher;

// A small window next to the tool's own, for the person at the screen: plug an instrument of a chosen
// kind, unplug one, make one misbehave. Every action goes through the launcher's command interface,
// so the window and standard input behave the same.
class SimControlWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SimControlWindow(SimLauncher& launcher, QWidget* parent = nullptr);

private:
    void refresh();
    void run(const QString& command);
    int selectedId() const;

    SimLauncher& m_launcher; // outlives the window
    QComboBox* m_kind = nullptr;
    QListWidget* m_instruments = nullptr;
    QComboBox* m_fault = nullptr;
    QLineEdit* m_command = nullptr;
    QPlainTextEdit* m_log = nullptr;
};
