#include "app/cli/supportcommand.h"

#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clireport.h"
#include "app/cli/clitext.h"
#include "app/cli/instrumentselector.h"
#include "devices/basedevice.h"
#include "support/supportbundle.h"
#include "usb/usbmanager.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QPointer>

SupportCommand::SupportCommand(UsbManager* manager, CliConsole& console)
    : m_manager(manager), m_console(console)
{
}

int SupportCommand::run(const CliArguments& arguments, CliReport& report)
{
    SupportBundle bundle;
    // The selection's own outcome is a finding, not this command's result.
    const UsbManager::CandidateFilter hostFilter = m_manager->candidateFilter();
    CliReport selection;
    InstrumentSelector selector(m_manager, m_console);
    if (arguments.hasDevice()) {
        selector.setAddress(arguments.device());
    }
    selector.setWaitSeconds(arguments.waitSeconds());
    const QPointer<BaseDevice> device = selector.select(selection);
    m_manager->setCandidateFilter(hostFilter);
    if (!selection.ok()) {
        bundle.addFinding(QStringLiteral("Looking for an instrument: %1").arg(selection.error()));
    }
    bundle.collectFrom(m_manager);
    if (device && device->isConnected()) {
        bundle.setInstrument({device->name(), device->kindKey(), device->serial(), device->softwareVersion(),
                              CliArguments::addressText(selector.selectedAddress())});
    }

    const QString path = QFileInfo(arguments.output()).absoluteFilePath();
    report.insert(QStringLiteral("file"), path);
    report.insert(QStringLiteral("instrument"), device && device->isConnected()
                                                    ? QJsonValue(device->serial())
                                                    : QJsonValue(QJsonValue::Null));
    QString error;
    if (bundle.write(path, &error) != 0) {
        return report.fail(CliExitCode::FileError,
                           CliText::translate("SupportCommand", "Support bundle not written: %1").arg(error));
    }
    m_console.note(tr("Support bundle: %1").arg(QDir::toNativeSeparators(path)));
    return report.exitCode();
}
