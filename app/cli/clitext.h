#pragma once

#include <QString>

// One of service-cli's messages in two languages: English for the JSON document and the daily log,
// which read the same whatever the user's language, and the installed language for the console. A text
// that is not the command line's own (a file name, a job's or the instrument's message) is the same in
// both.
class CliText
{
public:
    CliText() = default;
    // Implicit on purpose: a plain text is taken as it stands, in both languages.
    CliText(const QString& text) : m_english(text), m_shown(text) {}
    // A text made twice, in English and in the installed language (see EnglishScope).
    static CliText inBoth(const QString& english, const QString& shown);

    // The command line's own `source` in `context` (literals both, for lupdate); `n` fills %n and picks
    // the plural form of the translation.
    static CliText translate(const char* context, const char* source, const char* disambiguation = nullptr,
                             int n = -1);

    // As QString::arg, on both languages; a CliText argument puts in its own language.
    CliText arg(const CliText& a) const;
    CliText arg(const CliText& a, const CliText& b) const;
    CliText arg(const CliText& a, const CliText& b, const CliText& c) const;
    CliText arg(int number) const;
    CliText arg(double number) const;

    QString english() const { return m_english; }
    QString shown() const { return m_shown; }
    bool isEmpty() const { return m_english.isEmpty(); }

private:
    QString m_english;
    QString m_shown;
};
