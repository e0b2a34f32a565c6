#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class TopBarWidget;
}

// The bar that replaces the system title bar: application name and version on the left (the title
// area, by which the window is dragged), minimise/restore/maximise/close buttons on the right.
class TopBarWidget : public QFrame
{
    Q_OBJECT

public:
    explicit TopBarWidget(QWidget* parent = nullptr);
    ~TopBarWidget() override;

    // True when the global screen point lies on the title area (the buttons are outside it).
    bool isInTitleArea(const QPoint& globalPos) const;

signals:
    void closeWindow();
    void minimizeWindow();
    void maximizeWindow();
    void restoreWindow();

public slots:
    void setTitle(const QString& text);
    void setSubTitle(const QString& text);
    void setWindowState(Qt::WindowStates states);

private:
    std::unique_ptr<Ui::TopBarWidget> ui;
};
