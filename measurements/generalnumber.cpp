#include "measurements/generalnumber.h"

#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kCapacity = 32;

int copy(char* out, const char* text)
{
    const int size = int(std::strlen(text));
    std::memcpy(out, text, size_t(size));
    return size;
}

} // namespace

int writeGeneralNumber(char* out, double value, int precision)
{
    if (std::isnan(value))
        return copy(out, "nan");
    if (std::isinf(value))
        return copy(out, value < 0 ? "-inf" : "inf");
    if (value == 0)
        return copy(out, "0"); // the framework writes no sign for negative zero

    // The framework rounds a value that lies exactly halfway between two candidates away from zero,
    // the standard library to the even one. Such a tie shows as a last digit 5 when one more digit is
    // printed, and that longer text then reads back as the very same value: leave those to the framework.
    char probe[kCapacity];
    const std::to_chars_result longer =
        std::to_chars(probe, probe + kCapacity, value, std::chars_format::scientific, precision);
    const char* exponent = static_cast<const char*>(std::memchr(probe, 'e', size_t(longer.ptr - probe)));
    if (exponent && exponent[-1] == '5') {
        double back = 0;
        std::from_chars(probe, longer.ptr, back);
        if (back == value) {
            const QByteArray text = QString::number(value, 'g', precision).toLatin1();
            std::memcpy(out, text.constData(), size_t(qMin(text.size(), kCapacity)));
            return qMin(text.size(), kCapacity);
        }
    }
    const std::to_chars_result result =
        std::to_chars(out, out + kCapacity, value, std::chars_format::general, precision);
    return int(result.ptr - out);
}

QByteArray generalNumber(double value, int precision)
{
    char text[kCapacity];
    return QByteArray(text, writeGeneralNumber(text, value, precision));
}
