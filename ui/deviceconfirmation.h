#pragma once

#include <QString>

#include <functional>

class BaseDevice;
class QMessageBox;
class QWidget;

// The confirmation question of the pages that act on an instrument: a window-modal warning box titled
// with the application name, Yes and Cancel with Cancel the default, answered asynchronously. The text
// is shown as plain text, whatever instrument or file text it quotes. The
// answer belongs to the device the page showed when it asked: Yes does nothing if the page shows
// another device by then (or none), or if that device is still busy with earlier jobs.
class DeviceConfirmation
{
public:
    // `currentDevice` tells which device the page shows at the moment of the answer; `onYes` runs only
    // after a valid Yes. The box is named `objectName` (tests find it by that name) and deletes itself.
    // `otherwise`, when given, runs when the answer leads to nothing (Cancel, another device, busy).
    // Returns the open box, for a caller that adds to it (a check box).
    static QMessageBox* ask(QWidget* page, const QString& objectName, const QString& text,
                            std::function<BaseDevice*()> currentDevice, std::function<void()> onYes,
                            std::function<void()> otherwise = nullptr);
};
