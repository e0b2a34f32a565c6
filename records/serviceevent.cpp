#include "records/serviceevent.h"

#include <QJsonDocument>

ServiceEvent ServiceEvent::create(const QString& operation)
{
    ServiceEvent event;
    event.id = QUuid::createUuid();
    event.time = QDateTime::currentDateTimeUtc();
    event.operation = operation;
    event.details = QStringLiteral("{}");
    return event;
}

QJsonObject ServiceEvent::detailsObject() const
{
    return QJsonDocument::fromJson(details.toUtf8()).object();
}

void ServiceEvent::setDetails(const QJsonObject& object)
{
    details = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject ServiceEvent::toJson() const
{
    return QJsonObject{{QStringLiteral("id"), id.toString(QUuid::WithoutBraces)},
                       {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)},
                       {QStringLiteral("station"), station},
                       {QStringLiteral("user"), user},
                       {QStringLiteral("toolVersion"), toolVersion},
                       {QStringLiteral("interface"), interfaceName},
                       {QStringLiteral("operation"), operation},
                       {QStringLiteral("serial"), serial},
                       {QStringLiteral("kind"), kind},
                       {QStringLiteral("usbId"), usbId},
                       {QStringLiteral("result"), result},
                       {QStringLiteral("message"), message},
                       {QStringLiteral("details"), detailsObject()}};
}

bool ServiceEvent::operator==(const ServiceEvent& other) const
{
    return id == other.id && time == other.time && station == other.station && user == other.user &&
           toolVersion == other.toolVersion && interfaceName == other.interfaceName &&
           operation == other.operation && serial == other.serial && kind == other.kind &&
           usbId == other.usbId && result == other.result && message == other.message &&
           details == other.details;
}
