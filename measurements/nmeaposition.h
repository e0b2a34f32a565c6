#pragma once

#include <QByteArray>
#include <QGeoPositionInfo>
#include <QString>

// GPS fix of one measurement point from the RMC sentence text stored with it (layout in
// measurements/README.md). Returns an invalid QGeoPositionInfo when the text holds no usable fix:
// latitude or longitude missing or unreadable, the coordinate out of range, or no valid date.
// The time stamp is the sentence's UTC time shown in local time. Pure function, safe on any thread.
QGeoPositionInfo positionFromNmea(const QByteArray& sentence);

// Converts an NMEA "dddmm.mmmm" value into decimal degrees; negative for exactly "S" or "W".
double nmeaToDegrees(double value, const QString& hemisphere);
