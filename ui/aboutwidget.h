#pragma once

#include "devices/notificationmessagetype.h"

#include <QFrame>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class AboutWidget;
}

// The About page: application name and version above an (empty) license text box, and the one place of
// the frameless window that offers "Save support bundle...".
class AboutWidget : public QFrame
{
    Q_OBJECT

public:
    explicit AboutWidget(QWidget* parent = nullptr);
    ~AboutWidget() override;

    // Asks where the support bundle goes (`suggested` is a full path); empty for Cancel. A file dialog
    // unless a test sets another.
    using SaveFileName = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setSaveFileName(SaveFileName saveFileName) { m_saveFileName = std::move(saveFileName); }

signals:
    // Where the bundle went, or why it did not.
    void notify(NotificationMessageType type, QString message);

private slots:
    void saveSupportBundle();

private:
    SaveFileName m_saveFileName;
    std::unique_ptr<Ui::AboutWidget> ui;
};
