#include "core/scopedtranslator.h"

#include "core/englishscope.h"

QString ScopedTranslator::translate(const char* context, const char* sourceText, const char* disambiguation,
                                    int n) const
{
    if (EnglishScope::active()) {
        return QString();
    }
    return QTranslator::translate(context, sourceText, disambiguation, n);
}
