#include "devices/abstractjob.h"

AbstractJob::AbstractJob(const QString& name, QObject* parent)
    : QObject(parent), BaseLogger(name), m_id(QUuid::createUuid()), m_name(name)
{
}

AbstractJob::~AbstractJob() = default;

QString AbstractJob::resultMessage(int /*result*/) const
{
    return QString();
}

bool AbstractJob::isQuiet() const
{
    return false;
}

QString AbstractJob::latin1Text(const QByteArray& bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}
