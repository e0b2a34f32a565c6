#pragma once

#include <QString>
#include <QtGlobal>

// Why an instrument of our vendors that is on the bus cannot be used, and what the user can do about
// it, in the user's words. A pure function of the platform and of what failed, so that every case can
// be checked on any machine; libusb's own error names never reach the text.
class ConnectionDoctor
{
public:
    enum class Platform
    {
        Linux,
        Windows,
        Other
    };

    enum class Cause
    {
        NoPermission,
        Busy,
        NoDriver,
        Link,      // input/output, pipe, overflow or time-out errors: cable, port or hub
        Unplugged, // gone while it was being opened: nothing to fix
        Drops,     // opens, then drops out again before it was in use for long
        UnknownProduct,
        UsbUnavailable,
        Other
    };

    struct Diagnosis
    {
        Cause cause;
        QString text; // what happened and what to do, one or two sentences
    };

    static Platform currentPlatform();

    // An instrument called `name` at `where` ("bus 1, device 5") failed at `step` (the libusb call, or
    // empty when no single step could be named) with the libusb code `error`.
    static Diagnosis openFailure(Platform platform, const QString& name, const QString& where,
                                 const QString& step, int error);
    // An instrument called `name` at `where` was opened several times in a row and each time dropped
    // out again soon after.
    static Diagnosis keepsDisconnecting(const QString& name, const QString& where);
    // A product of an accepted vendor that the tool has no kind for.
    static Diagnosis unknownProduct(quint16 vendor, quint16 product, const QString& where);
    // libusb itself could not be started (no usbfs, a sandbox); `error` is the libusb code.
    static Diagnosis usbUnavailable(Platform platform, int error);
    // What the Info page says while nothing is attached.
    static QString waitingText();
    // The udev rule for Linux that gives the user at the seat access to both vendors' instruments: the
    // text of the rule file the package installs, compiled in.
    static QString udevRule();
    // The file name under which the rule is installed (the package: /usr/lib/udev/rules.d, by hand:
    // /etc/udev/rules.d).
    static QString udevRuleFileName();
};
