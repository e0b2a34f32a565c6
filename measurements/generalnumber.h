#pragma once

#include <QByteArray>

// `value` in the general ('g') form with `precision` significant digits, exactly as
// QString::number(value, 'g', precision) writes it in the C locale, but without the allocation and
// several times faster. Precision 1 to 17.
QByteArray generalNumber(double value, int precision);

// The same into `out`, which must hold 32 bytes; returns the number of bytes written.
int writeGeneralNumber(char* out, double value, int precision);
