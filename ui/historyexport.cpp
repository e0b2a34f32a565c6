#include "ui/historyexport.h"

#include "measurements/exportdocument.h"

#include <QFileDevice>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
QByteArray csvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r')) {
        field.replace('"', "\"\"");
        field = '"' + field + '"';
    }
    return field;
}
} // namespace

QByteArray HistoryExport::csv(const QList<ServiceEvent>& events)
{
    QByteArray out("id,time,station,user,toolVersion,interface,operation,serial,kind,usbId,result,message,"
                   "details\r\n");
    for (const ServiceEvent& e : events) {
        const QStringList fields{e.id.toString(QUuid::WithoutBraces),
                                 e.time.toUTC().toString(Qt::ISODateWithMs),
                                 e.station,
                                 e.user,
                                 e.toolVersion,
                                 e.interfaceName,
                                 e.operation,
                                 e.serial,
                                 e.kind,
                                 e.usbId,
                                 QString::number(e.result),
                                 e.message,
                                 e.details};
        QList<QByteArray> line;
        for (const QString& field : fields) {
            line << csvField(field);
        }
        out += line.join(',') + "\r\n";
    }
    return out;
}

QByteArray HistoryExport::json(const QList<ServiceEvent>& events)
{
    QJsonArray array;
    for (const ServiceEvent& e : events) {
        array.append(e.toJson());
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

bool HistoryExport::save(const QString& fileName, Format format, const QList<ServiceEvent>& events,
                         QString* reason)
{
    const QByteArray document = format == Format::Csv ? csv(events) : json(events);
    QString error;
    const bool saved = ExportDocument::save(fileName, [&](QIODevice* device) {
        const bool written = ExportDocument::write(
            device, [&](QIODevice* d) { return d->write(document) == document.size(); });
        if (!written) {
            error = device->errorString();
        }
        return written;
    });
    if (!saved && reason) {
        *reason = error.isEmpty() ? QStringLiteral("cannot be written") : error;
    }
    return saved;
}
