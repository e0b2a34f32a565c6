#include "usb/connectiondoctor.h"

#include <QCoreApplication>
#include <QFile>

#include <libusb.h>

namespace {
QString tr(const char* text)
{
    return QCoreApplication::translate("ConnectionDoctor", text);
}
} // namespace

// The rule file is compiled into this static library as a resource; nothing else references the
// resource's initialiser, so it is registered on first use. Outside the anonymous namespace: the
// macro declares the initialiser, which must keep its external name.
static void registerUdevRuleResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(udevrule);
        return true;
    }();
    Q_UNUSED(registered);
}

ConnectionDoctor::Platform ConnectionDoctor::currentPlatform()
{
#if defined(Q_OS_WIN)
    return Platform::Windows;
#elif defined(Q_OS_LINUX)
    return Platform::Linux;
#else
    return Platform::Other;
#endif
}

ConnectionDoctor::Diagnosis ConnectionDoctor::openFailure(Platform platform, const QString& name,
                                                          const QString& where, const QString& step,
                                                          int error)
{
    const QString subject = tr("The %1 (%2) cannot be used: ").arg(name, where);
    switch (error) {
    case LIBUSB_ERROR_ACCESS:
        if (platform == Platform::Linux) {
            // The package installs the rule, so plugging in again (or logging in again, for a session
            // that started before the install) is enough there; a build from source has no rule yet.
            return {Cause::NoPermission,
                    subject + tr("this user has no permission to open it. Plug it in again, or log in "
                                 "again. Without the package, first install the udev rule "
                                 "(\"service-software --udev-rule\" prints it) as %1 and run \"udevadm "
                                 "control --reload\".")
                                  .arg(QStringLiteral("/etc/udev/rules.d/") + udevRuleFileName())};
        }
        if (platform == Platform::Windows) {
            // Windows reports an instrument held by another program as denied access.
            return {Cause::Busy, subject + tr("another program is using it. Close that program and plug the "
                                              "instrument in again.")};
        }
        return {Cause::NoPermission,
                subject + tr("this user has no permission to open it. Give your user access to the USB "
                             "device and plug the instrument in again.")};
    case LIBUSB_ERROR_BUSY:
        return {Cause::Busy,
                subject +
                    tr("another program is using it. Close that program and plug the instrument in again.")};
    case LIBUSB_ERROR_NOT_SUPPORTED:
    case LIBUSB_ERROR_NOT_FOUND:
        if (platform == Platform::Windows) {
            return {Cause::NoDriver,
                    subject + tr("the WinUSB driver is not bound to its interface 0. Install "
                                 "the WinUSB driver for it and plug it in again.")};
        }
        if (error == LIBUSB_ERROR_NOT_FOUND) {
            return {Cause::NoDriver,
                    subject + tr("it does not offer the USB interface this tool talks to. "
                                 "Plug it in again; if that does not help, it needs service.")};
        }
        return {Cause::NoDriver, subject + tr("the system offers no access to it. Plug it into another USB "
                                              "port.")};
    case LIBUSB_ERROR_IO:
    case LIBUSB_ERROR_PIPE:
    case LIBUSB_ERROR_OVERFLOW:
    case LIBUSB_ERROR_TIMEOUT:
    case LIBUSB_ERROR_INTERRUPTED:
        return {Cause::Link,
                subject + tr("it does not answer properly over USB. Check the cable, try another "
                             "USB port and connect it without a hub.")};
    case LIBUSB_ERROR_NO_DEVICE:
        return {Cause::Unplugged, subject + tr("it was unplugged while it was being opened.")};
    default:
        break;
    }
    Q_UNUSED(step);
    return {Cause::Other,
            subject + tr("opening it failed. Plug it in again; if it keeps failing, try another "
                         "USB port or restart the computer.")};
}

ConnectionDoctor::Diagnosis ConnectionDoctor::keepsDisconnecting(const QString& name, const QString& where)
{
    return {Cause::Drops,
            tr("The %1 (%2) keeps disconnecting: it drops out again soon after it was opened. Check the "
               "cable, try another USB port and connect it without a hub. The tool tries again less and "
               "less often; plugging it in again tries at once.")
                .arg(name, where)};
}

ConnectionDoctor::Diagnosis ConnectionDoctor::unknownProduct(quint16 vendor, quint16 product,
                                                             const QString& where)
{
    const QString id = QStringLiteral("%1:%2")
                           .arg(vendor, 4, 16, QLatin1Char('0'))
                           .arg(product, 4, 16, QLatin1Char('0'))
                           .toUpper();
    return {Cause::UnknownProduct,
            tr("An instrument with the USB id %1 (%2) is connected, but this tool does not know this "
               "instrument. A newer version of the tool may support it.")
                .arg(id, where)};
}

ConnectionDoctor::Diagnosis ConnectionDoctor::usbUnavailable(Platform platform, int error)
{
    QString reason;
    switch (error) {
    case LIBUSB_ERROR_ACCESS:
        reason = tr("the system denies access to USB devices.");
        break;
    case LIBUSB_ERROR_NO_MEM:
        reason = tr("the computer is out of memory.");
        break;
    default:
        reason = platform == Platform::Linux
                     ? tr("the system offers no USB device access here (no /dev/bus/usb, or a sandbox "
                          "without USB).")
                     : tr("the system's USB support could not be started.");
        break;
    }
    return {Cause::UsbUnavailable, tr("USB access is not available: %1 The tool keeps trying.").arg(reason)};
}

QString ConnectionDoctor::waitingText()
{
    return tr("Waiting for an instrument. Connect a Tymbrel or Vectaris instrument with its USB cable and "
              "switch it on.");
}

QString ConnectionDoctor::udevRule()
{
    registerUdevRuleResource();
    QFile file(QStringLiteral(":/udev/") + udevRuleFileName());
    if (!file.open(QIODevice::ReadOnly)) {
        return QString(); // only if the build lost the resource; the tests catch that
    }
    return QString::fromUtf8(file.readAll());
}

QString ConnectionDoctor::udevRuleFileName()
{
    return QStringLiteral("70-tessor-instruments.rules");
}
