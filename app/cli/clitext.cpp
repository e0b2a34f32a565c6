#include "app/cli/clitext.h"

#include <QCoreApplication>

CliText CliText::translate(const char* context, const char* source, const char* disambiguation, int n)
{
    CliText text;
    text.m_english = QString::fromUtf8(source);
    if (n >= 0) {
        text.m_english.replace(QStringLiteral("%n"), QString::number(n));
    }
    text.m_shown = QCoreApplication::translate(context, source, disambiguation, n);
    return text;
}

CliText CliText::arg(const CliText& a) const
{
    CliText text;
    text.m_english = m_english.arg(a.m_english);
    text.m_shown = m_shown.arg(a.m_shown);
    return text;
}

CliText CliText::arg(const CliText& a, const CliText& b) const
{
    CliText text;
    text.m_english = m_english.arg(a.m_english, b.m_english);
    text.m_shown = m_shown.arg(a.m_shown, b.m_shown);
    return text;
}

CliText CliText::arg(const CliText& a, const CliText& b, const CliText& c) const
{
    CliText text;
    text.m_english = m_english.arg(a.m_english, b.m_english, c.m_english);
    text.m_shown = m_shown.arg(a.m_shown, b.m_shown, c.m_shown);
    return text;
}

CliText CliText::arg(int number) const
{
    return arg(CliText(QString::number(number)));
}

CliText CliText::arg(double number) const
{
    return arg(CliText(QString::number(number)));
}

CliText CliText::inBoth(const QString& english, const QString& shown)
{
    CliText text;
    text.m_english = english;
    text.m_shown = shown;
    return text;
}
