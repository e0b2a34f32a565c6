#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class MainSidebarWidget;
}
class QAbstractButton;
class QButtonGroup;

// The column of page buttons on the left of the main window. The buttons form one exclusive group
// whose ids are the page ids (0 About, 1 Info, 2 Measurements, 3 Service, 4 Production, 5 Develop, 6
// History).
class MainSidebarWidget : public QFrame
{
    Q_OBJECT

public:
    explicit MainSidebarWidget(QWidget* parent = nullptr);
    ~MainSidebarWidget() override;

    // Id of the selected button, -1 when none is selected.
    int checkedId() const;
    // The button with that id, or null.
    QAbstractButton* button(int id) const;
    void setButtonVisible(int id, bool visible);

signals:
    void buttonChecked(int id);

public slots:
    void setCurrentPage(int id);

private slots:
    void buttonToggled(int id, bool checked);

private:
    std::unique_ptr<Ui::MainSidebarWidget> ui;
    QButtonGroup* m_group = nullptr; // child of this widget
};
