#include "measurements/binarystream.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

BinaryStream::BinaryStream(QIODevice* device) : m_device(device), m_status(Ok)
{
    if (!m_device || !m_device->isOpen()) {
        m_status = DeviceNotOpen;
        qWarning("BinaryStream IO Error");
    }
}

BinaryStream::~BinaryStream() = default;

bool BinaryStream::deviceUsable()
{
    if (!m_device || !m_device->isOpen()) {
        m_status = DeviceNotOpen;
        return false;
    }
    return true;
}

qint64 BinaryStream::read(char* buffer, qint64 n)
{
    if (!deviceUsable())
        return -1;
    if (n < 0 || m_device->size() == 0 || m_device->bytesAvailable() < n) {
        m_status = ReadPastEnd;
        return -1;
    }
    if (m_device->read(buffer, n) != n) {
        m_status = ReadPastEnd;
        return -1;
    }
    return n;
}

BinaryStream& BinaryStream::operator>>(quint8& value)
{
    char byte;
    if (read(&byte, 1) == 1)
        value = quint8(byte);
    return *this;
}

BinaryStream& BinaryStream::operator>>(quint32& value)
{
    uchar bytes[4];
    if (read(reinterpret_cast<char*>(bytes), 4) == 4)
        value = qFromLittleEndian<quint32>(bytes);
    return *this;
}

BinaryStream& BinaryStream::operator>>(quint64& value)
{
    uchar bytes[8];
    if (read(reinterpret_cast<char*>(bytes), 8) == 8)
        value = qFromLittleEndian<quint64>(bytes);
    return *this;
}

BinaryStream& BinaryStream::operator>>(float& value)
{
    uchar bytes[4];
    if (read(reinterpret_cast<char*>(bytes), 4) == 4) {
        const quint32 bits = qFromLittleEndian<quint32>(bytes);
        std::memcpy(&value, &bits, sizeof value);
    }
    return *this;
}

qint64 BinaryStream::pos() const
{
    return m_device ? m_device->pos() : 0;
}

bool BinaryStream::seek(qint64 target)
{
    if (!deviceUsable())
        return false;
    if (target < 0 || target > m_device->size()) {
        m_status = ReadPastEnd;
        return false;
    }
    m_status = m_device->seek(target) ? Ok : ReadPastEnd;
    return m_status == Ok;
}
