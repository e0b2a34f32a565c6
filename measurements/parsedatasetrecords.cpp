#include "measurements/parsedatasetrecords.h"

#include "measurements/binarystream.h"

#include <QBuffer>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 kStoreVersion = 1;

float floatAt(const char* bytes)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The record is taken in one all-or-nothing read and then split into its fields, which is the same as
// reading it field by field and dropping it when any field is missing, only cheaper.
bool readPointRecord(BinaryStream& stream, DataPointRecord& record)
{
    char bytes[DataPointRecord::kSize];
    if (stream.read(bytes, DataPointRecord::kSize) != DataPointRecord::kSize)
        return false;
    record.maxCoil = floatAt(bytes + 0);
    record.minCoil = floatAt(bytes + 4);
    record.depth = floatAt(bytes + 8);
    record.amperage = floatAt(bytes + 12);
    record.valid = quint8(bytes[16]);
    record.reserved1 = quint8(bytes[17]);
    record.reserved2 = quint8(bytes[18]);
    record.reserved3 = quint8(bytes[19]);
    record.frequency = qFromLittleEndian<quint32>(bytes + 20);
    record.modeLevel = floatAt(bytes + 24);
    record.azimuth = floatAt(bytes + 28);
    record.zenit = floatAt(bytes + 32);
    record.hazeLevel = floatAt(bytes + 36);
    record.sisValue = floatAt(bytes + 40);
    std::memcpy(record.reserved, bytes + 44, sizeof record.reserved);
    record.gpsText = QByteArray(bytes + 60, DataPointRecord::kGpsTextSize);
    return true;
}

} // namespace

QList<DatasetRecord> parseDatasetRecords(const QByteArray& image)
{
    QList<DatasetRecord> result;
    QBuffer buffer;
    buffer.setData(image);
    if (!buffer.open(QIODevice::ReadOnly))
        return result;
    BinaryStream stream(&buffer);

    quint32 version = 0;
    quint32 firstSlotOffset = 0;
    quint32 slotSize = 0;
    quint32 endOffset = 0;
    stream >> version >> firstSlotOffset >> slotSize >> endOffset;
    if (stream.status() != BinaryStream::Ok || version != kStoreVersion)
        return result;
    if (!stream.seek(firstSlotOffset))
        return result;

    quint32 slotStart = firstSlotOffset;
    for (quint32 slot = 0;; ++slot) {
        if (stream.pos() >= qint64(endOffset))
            break;

        DatasetRecord record;
        char text[DatasetRecord::kTextSize];
        stream >> record.headerWord >> record.headerLongWord >> record.recordsLength;
        stream.read(text, DatasetRecord::kTextSize);
        if (stream.status() != BinaryStream::Ok)
            break;
        record.text = QString::fromLatin1(text, DatasetRecord::kTextSize);

        if (record.recordsLength != 0 && record.recordsLength <= slotSize) {
            const qint64 recordsEnd = stream.pos() + qint64(record.recordsLength);
            while (stream.status() == BinaryStream::Ok && stream.pos() < recordsEnd) {
                DataPointRecord point;
                if (!readPointRecord(stream, point))
                    break;
                if (point.valid == 1)
                    record.points.append(point);
            }
            result.append(record);
        }

        // Slot starts are computed in 32-bit arithmetic like the instrument does. A damaged header
        // (slotSize 0, or a start that wraps around) would otherwise revisit slots for ever, so the walk
        // only ever moves forward.
        const quint32 nextStart = firstSlotOffset + (slot + 1) * slotSize;
        if (nextStart <= slotStart)
            break;
        slotStart = nextStart;
        if (!stream.seek(nextStart))
            break;
    }
    return result;
}
