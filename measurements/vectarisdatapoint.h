#pragma once

#include <QGeoPositionInfo>
#include <QList>
#include <QMetaType>

struct DataPointRecord;

// One measured point of a series: the ten values as the instrument measured them and its GPS fix
// (invalid when the instrument had none). Plain value type.
struct VectarisDataPoint
{
    VectarisDataPoint() = default;
    explicit VectarisDataPoint(const DataPointRecord& record);

    float maxCoil = 0;
    float minCoil = 0;
    float depth = 0;
    float amperage = 0;
    quint32 frequency = 0;
    float modeLevel = 0;
    float azimuth = 0;
    float zenit = 0;
    float hazeLevel = 0;
    float sisValue = 0;
    QGeoPositionInfo position;
};

using VectarisDataPoints = QList<VectarisDataPoint>;

Q_DECLARE_METATYPE(VectarisDataPoints)
