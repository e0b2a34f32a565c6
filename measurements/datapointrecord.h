#pragma once

#include <QByteArray>
#include <QtGlobal>

// One 144-byte point record of the dataset store, field for field as it lies in the image
// (see measurements/README.md). Plain value; nothing is interpreted here.
struct DataPointRecord
{
    static constexpr int kSize = 144;
    static constexpr int kGpsTextSize = 84;

    float maxCoil = 0;
    float minCoil = 0;
    float depth = 0;
    float amperage = 0;
    quint8 valid = 0; // the record belongs to its series only if this is 1
    quint8 reserved1 = 0;
    quint8 reserved2 = 0;
    quint8 reserved3 = 0;
    quint32 frequency = 0;
    float modeLevel = 0;
    float azimuth = 0;
    float zenit = 0;
    float hazeLevel = 0;
    float sisValue = 0;
    quint8 reserved[16] = {};
    QByteArray gpsText; // the 84 bytes of the NMEA RMC text, fill bytes included
};
