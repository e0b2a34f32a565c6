#pragma once

#include <QFrame>

#include <memory>

namespace Ui {
class AboutWidget;
}

// The About page: application name and version above an (empty) license text box.
class AboutWidget : public QFrame
{
    Q_OBJECT

public:
    explicit AboutWidget(QWidget* parent = nullptr);
    ~AboutWidget() override;

private:
    std::unique_ptr<Ui::AboutWidget> ui;
};
