#include "usb/connectiondoctor.h"

#include <QCoreApplication>

#include <libusb.h>

namespace {
QString tr(const char* text)
{
    return QCoreApplication::translate("ConnectionDoctor", text);
}
} // namespace

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
            return {Cause::NoPermission,
                    subject + tr("this user has no permission to open it. Install the udev rule from the "
                                 "README (\"service-software --udev-rule\" prints it) as %1, run \"udevadm "
                                 "control --reload\" and plug the instrument in again.")
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
    // uaccess gives the user logged in at the seat access, and nobody else; no world-writable node.
    return QStringLiteral("# Tymbrel and Vectaris instruments: access for the user at the seat\n"
                          "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"1e84\", MODE=\"0660\", TAG+=\"uaccess\"\n"
                          "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"2952\", MODE=\"0660\", TAG+=\"uaccess\"\n");
}

QString ConnectionDoctor::udevRuleFileName()
{
    return QStringLiteral("70-tessor-instruments.rules");
}
