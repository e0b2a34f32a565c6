#include "station/stationserials.h"

#include "core/settings.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
const QRegularExpression& serialPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^(.*?)(\\d+)$"));
    return pattern;
}
} // namespace

bool StationSerials::setRange(const QString& range, QString* error)
{
    const int dots = range.indexOf(QStringLiteral(".."));
    if (dots < 0) {
        *error = QStringLiteral("A serial range reads FROM..TO, not \"%1\".").arg(range);
        return false;
    }
    return setRange(range.left(dots).trimmed(), range.mid(dots + 2).trimmed(), error);
}

bool StationSerials::setRange(const QString& from, const QString& to, QString* error)
{
    const QRegularExpressionMatch first = serialPattern().match(from);
    const QRegularExpressionMatch last = serialPattern().match(to);
    if (!first.hasMatch() || !last.hasMatch() || first.captured(1) != last.captured(1) ||
        first.captured(2).size() != last.captured(2).size() || first.captured(2).size() > 9) {
        *error = QStringLiteral("A serial range runs from a prefix and a number to the same prefix and a "
                                "number of as many digits (LINE-0001..LINE-0500), not \"%1..%2\".")
                     .arg(from, to);
        return false;
    }
    const int begin = first.captured(2).toInt();
    const int end = last.captured(2).toInt();
    if (end < begin) {
        *error = QStringLiteral("The serial range %1..%2 runs backwards.").arg(from, to);
        return false;
    }
    m_mode = Mode::Counter;
    m_prefix = first.captured(1);
    m_digits = first.captured(2).size();
    m_first = begin;
    m_last = end;
    return true;
}

int StationSerials::nextNumber() const
{
    return std::max(m_first, Settings::instance()->stationNextSerial(m_prefix));
}

QString StationSerials::format(int number) const
{
    return m_prefix + QStringLiteral("%1").arg(number, m_digits, 10, QLatin1Char('0'));
}

QString StationSerials::next() const
{
    switch (m_mode) {
    case Mode::None:
        return QString();
    case Mode::Scan:
        return m_scanned;
    case Mode::Counter:
        return exhausted() ? QString() : format(nextNumber());
    }
    return QString();
}

bool StationSerials::exhausted() const
{
    return m_mode == Mode::Counter && nextNumber() > m_last;
}

void StationSerials::scanned(const QString& serial)
{
    m_scanned = serial.trimmed();
}

void StationSerials::passed()
{
    if (m_mode == Mode::Counter && !exhausted()) {
        Settings::instance()->setStationNextSerial(m_prefix, nextNumber() + 1);
    }
    m_scanned.clear();
}

void StationSerials::failed()
{
    m_scanned.clear();
}
