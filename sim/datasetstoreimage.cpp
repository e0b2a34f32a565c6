#include "sim/datasetstoreimage.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void putU32(QByteArray& bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void putF32(QByteArray& bytes, int at, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    putU32(bytes, at, bits);
}

// Writes part into image at offset, growing the image with zero bytes as needed.
void place(QByteArray& image, quint32 offset, const QByteArray& part)
{
    const int end = int(offset) + part.size();
    if (image.size() < end)
        image.append(QByteArray(end - image.size(), '\0'));
    std::memcpy(image.data() + offset, part.constData(), size_t(part.size()));
}

QByteArray fixedSize(QByteArray bytes, int size, char fill)
{
    bytes.truncate(size);
    if (bytes.size() < size)
        bytes.append(QByteArray(size - bytes.size(), fill));
    return bytes;
}

QByteArray angle(double degrees, int degreeDigits)
{
    const double magnitude = std::fabs(degrees);
    int whole = int(magnitude);
    double minutes = (magnitude - whole) * 60;
    if (minutes >= 59.9999995) { // keep the rounded minutes below 60
        minutes = 0;
        ++whole;
    }
    return QByteArray::number(whole).rightJustified(degreeDigits, '0') +
           QByteArray::number(minutes, 'f', 6).rightJustified(9, '0');
}

} // namespace

QByteArray DatasetStoreImage::pointRecord(const Point& point)
{
    QByteArray bytes(int(kPointSize), char(point.filler));
    putF32(bytes, 0, point.maxCoil);
    putF32(bytes, 4, point.minCoil);
    putF32(bytes, 8, point.depth);
    putF32(bytes, 12, point.amperage);
    bytes[16] = char(point.valid);
    putU32(bytes, 20, point.frequency);
    putF32(bytes, 24, point.modeLevel);
    putF32(bytes, 28, point.azimuth);
    putF32(bytes, 32, point.zenit);
    putF32(bytes, 36, point.hazeLevel);
    putF32(bytes, 40, point.sisValue);
    const QByteArray gps = fixedSize(point.gpsText, int(kGpsTextSize), '\0');
    std::memcpy(bytes.data() + 60, gps.constData(), kGpsTextSize);
    return bytes;
}

QByteArray DatasetStoreImage::build() const
{
    quint32 longest = 1;
    for (const Series& s : series)
        longest = std::max<quint32>(longest, quint32(s.points.size()));
    const quint32 first = firstSlotOffset.value_or(kStoreHeaderSize);
    const quint32 size = slotSize.value_or(kSlotHeaderSize + longest * kPointSize);
    const quint32 end = endOffset.value_or(first + quint32(series.size()) * size);

    QByteArray image(int(kStoreHeaderSize), '\0');
    putU32(image, 0, version);
    putU32(image, 4, first);
    putU32(image, 8, size);
    putU32(image, 12, end);

    for (int i = 0; i < series.size(); ++i) {
        const Series& s = series.at(i);
        QByteArray slot(int(kSlotHeaderSize), '\0');
        putU32(slot, 0, s.headerWord);
        qToLittleEndian(s.headerLongWord, slot.data() + 4);
        putU32(slot, 12, s.recordsLength.value_or(quint32(s.points.size()) * kPointSize));
        const QByteArray text = fixedSize(s.text, int(kTextSize), s.textFill);
        std::memcpy(slot.data() + 16, text.constData(), kTextSize);
        for (const Point& point : s.points)
            slot.append(pointRecord(point));
        // Unused room of a slot stays zero, as in an erased store (not for absurd slot sizes that only
        // model a damaged header).
        if (quint32(slot.size()) < size && size - quint32(slot.size()) <= (1u << 20))
            slot.append(QByteArray(int(size - quint32(slot.size())), '\0'));
        place(image, first + quint32(i) * size, slot);
    }
    return image;
}

QByteArray DatasetStoreImage::rmcSentence(double latitude, double longitude, const QDateTime& utc)
{
    const QDateTime t = utc.toUTC();
    QByteArray sentence = "$GPRMC,";
    sentence += t.time().toString(QStringLiteral("hhmmss.zzz")).toLatin1();
    sentence += ",A,";
    sentence += angle(latitude, 2) + (latitude < 0 ? ",S," : ",N,");
    sentence += angle(longitude, 3) + (longitude < 0 ? ",W," : ",E,");
    sentence += "0.0,0.0,";
    sentence += t.date().toString(QStringLiteral("ddMMyy")).toLatin1();
    sentence += ",,,A";
    return sentence;
}

QByteArray DatasetStoreImage::dateText(const QDateTime& utc)
{
    return utc.toUTC().toString(QStringLiteral("yy-MM-dd hh:mm")).toLatin1();
}
