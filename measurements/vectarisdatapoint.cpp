#include "measurements/vectarisdatapoint.h"

#include "measurements/datapointrecord.h"
#include "measurements/nmeaposition.h"

VectarisDataPoint::VectarisDataPoint(const DataPointRecord& record)
    : maxCoil(record.maxCoil), minCoil(record.minCoil), depth(record.depth), amperage(record.amperage),
      frequency(record.frequency), modeLevel(record.modeLevel), azimuth(record.azimuth), zenit(record.zenit),
      hazeLevel(record.hazeLevel), sisValue(record.sisValue), position(positionFromNmea(record.gpsText))
{
}
