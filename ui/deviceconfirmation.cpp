#include "ui/deviceconfirmation.h"

#include "devices/basedevice.h"
#include "ui/devicepage.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

QMessageBox* DeviceConfirmation::ask(QWidget* page, const QString& objectName, const QString& text,
                                     std::function<BaseDevice*()> currentDevice, std::function<void()> onYes,
                                     std::function<void()> otherwise)
{
    const QPointer<BaseDevice> askedFor = currentDevice();
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                                QMessageBox::Yes | QMessageBox::Cancel, page);
    box->setObjectName(objectName);
    box->setTextFormat(Qt::PlainText); // questions quote serials, file names and snapshot values
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(
        box, &QMessageBox::finished, page, [box, askedFor, currentDevice, onYes, otherwise](int) {
            auto nothing = [&otherwise] {
                if (otherwise) {
                    otherwise();
                }
            };
            if (box->standardButton(box->clickedButton()) != QMessageBox::Yes) {
                nothing();
                return;
            }
            BaseDevice* shown = currentDevice();
            if (!askedFor || askedFor != shown) {
                if (shown) {
                    shown->logger()->warn("The device changed while the question was open; nothing was done");
                }
                nothing();
                return;
            }
            if (DevicePage::ignoredWhileBusy(shown)) {
                nothing();
                return;
            }
            onYes();
        });
    box->open();
    return box;
}
