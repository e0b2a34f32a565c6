#pragma once

#include <QMetaType>

// Kind of a user notification; carried by BaseDevice::notify and shown by the main window's
// notification bar, whose style sheet keys on the numeric value (static_cast<int>).
enum class NotificationMessageType : int
{
    Info = 0,
    Success = 1,
    Warning = 2,
    Error = 3,
    Debug = 4,
};

Q_DECLARE_METATYPE(NotificationMessageType)
