#include "measurements/xmlsafetext.h"

namespace {

bool isAllowed(ushort u)
{
    if (u < 0x20)
        return u == 0x09 || u == 0x0A || u == 0x0D;
    return u != 0xFFFE && u != 0xFFFF;
}

} // namespace

QString xmlSafeText(const QString& text)
{
    // Most texts are clean; only copy when something has to go.
    int i = 0;
    const int size = text.size();
    for (; i < size; ++i) {
        const QChar c = text.at(i);
        if (!isAllowed(c.unicode()) || c.isSurrogate())
            break;
    }
    if (i == size)
        return text;

    QString result = text.left(i);
    for (; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            result.append(c);
            result.append(text.at(++i));
        } else if (!c.isSurrogate() && isAllowed(c.unicode())) {
            result.append(c);
        }
    }
    return result;
}
