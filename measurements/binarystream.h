#pragma once

#include <QtGlobal>

class QIODevice;

// Little-endian reader over a QIODevice that it does not own. The status is sticky: once a read fails,
// it stays failed until a successful seek. Reads are all-or-nothing, so a value that does not fit into
// the remaining bytes is never half-filled and the position does not move.
class BinaryStream
{
public:
    enum Status
    {
        Ok,
        ReadPastEnd,
        DeviceNotOpen
    };

    explicit BinaryStream(QIODevice* device);
    virtual ~BinaryStream();

    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Reads exactly n bytes into buffer and returns n, or returns -1 and reads nothing.
    qint64 read(char* buffer, qint64 n);

    BinaryStream& operator>>(quint8& value);
    BinaryStream& operator>>(quint32& value);
    BinaryStream& operator>>(quint64& value);
    BinaryStream& operator>>(float& value);

    qint64 pos() const;
    // Positions the device at target; the only operation that sets the status back to Ok.
    bool seek(qint64 target);
    Status status() const { return m_status; }

private:
    bool deviceUsable();

    QIODevice* m_device;
    Status m_status;
};
