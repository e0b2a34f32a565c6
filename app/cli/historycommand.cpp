#include "app/cli/historycommand.h"

#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clireport.h"
#include "core/settings.h"
#include "records/recordstore.h"

#include <QFileInfo>
#include <QJsonArray>

HistoryCommand::HistoryCommand(CliConsole& console) : m_console(console) {}

int HistoryCommand::run(const CliArguments& arguments, CliReport& report)
{
    RecordsAddress address;
    QString error;
    if (!RecordsAddress::parse(Settings::instance()->recordsDatabase(), &address, &error)) {
        return report.fail(CliExitCode::FileError, error);
    }
    report.insert(QStringLiteral("database"), address.displayText());
    RecordStore::Filter filter;
    filter.serial = arguments.serial();
    filter.since = arguments.since();
    QList<ServiceEvent> events;
    // A station that has recorded nothing yet has no file; reading creates none.
    if (address.isShared() || QFileInfo::exists(address.path())) {
        RecordStore store;
        const int opened = store.open(address);
        if (opened < 0) {
            report.insert(QStringLiteral("events"), QJsonArray());
            return report.fail(CliExitCode::FileError, store.errorText());
        }
        events = store.find(filter);
    }
    QJsonArray list;
    for (const ServiceEvent& event : qAsConst(events)) {
        list.append(event.toJson());
        m_console.print(QStringLiteral("%1  %2  %3  %4  %5  %6")
                            .arg(event.time.toUTC().toString(Qt::ISODate), event.serial, event.operation,
                                 event.result == 0 ? QStringLiteral("ok") : QString::number(event.result),
                                 event.station, event.message)
                            .trimmed());
    }
    if (events.isEmpty()) {
        m_console.note(tr("No service records match."));
    }
    report.insert(QStringLiteral("events"), list);
    return report.exitCode();
}
