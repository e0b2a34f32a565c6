#pragma once

#include <QTranslator>

// A translator that answers nothing on a thread inside an EnglishScope, so that Qt falls back to the
// English source text there; everywhere else it translates as loaded.
class ScopedTranslator : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};
