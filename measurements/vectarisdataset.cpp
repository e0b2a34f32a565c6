#include "measurements/vectarisdataset.h"

#include "measurements/datasetrecord.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int twoDigits(const QString& text, int at)
{
    return text.at(at).digitValue() * 10 + text.at(at + 1).digitValue();
}

// The header text starts with "yy-MM-dd hh:mm" (UTC, year of this century) when the unit named the
// series by its start time. Returns a null date-time for anything else.
QDateTime headerDate(const QString& text)
{
    static const char kPattern[] = "99-99-99 99:99";
    constexpr int kLength = sizeof kPattern - 1;
    if (text.size() < kLength)
        return QDateTime();
    for (int i = 0; i < kLength; ++i) {
        const bool matches =
            kPattern[i] == '9' ? isDigit(text.at(i)) : text.at(i) == QLatin1Char(kPattern[i]);
        if (!matches)
            return QDateTime();
    }
    const QDate date(2000 + twoDigits(text, 0), twoDigits(text, 3), twoDigits(text, 6));
    const QTime time(twoDigits(text, 9), twoDigits(text, 12));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC).toLocalTime();
}

// The unit pads a short title with fill bytes and may leave stale text behind the terminating NUL.
// Keeps the text up to the first NUL, drops control characters (which XML cannot carry or which
// show as boxes), erased-flash fill (0xFF) at the end and surrounding white space.
QString cleanTitle(const QString& text)
{
    QString title;
    title.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0)
            break;
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            continue;
        title.append(c);
    }
    while (!title.isEmpty() && title.back().unicode() == 0xFF)
        title.chop(1);
    return title.trimmed();
}

} // namespace

void registerVectarisMetaTypes()
{
    qRegisterMetaType<VectarisDataset>("VectarisDataset");
    qRegisterMetaType<VectarisDataPoints>("VectarisDataPoints");
    qRegisterMetaType<QList<VectarisDataset>>("QList<VectarisDataset>");
}
Q_CONSTRUCTOR_FUNCTION(registerVectarisMetaTypes)

VectarisDataset::VectarisDataset(const DatasetRecord& record) : date(headerDate(record.text))
{
    if (date.isNull())
        title = cleanTitle(record.text);
    points.reserve(record.points.size());
    for (const DataPointRecord& point : record.points)
        points.append(VectarisDataPoint(point));
}
