#pragma once

#include <QString>

#include <functional>

// While one lives on a thread, the tool's translators leave that thread's texts in English, the language
// of the sources. A message meant for both the user and a machine-read report (the command line's JSON
// document) is made twice: once as the user reads it, once inside a scope for the report.
// Other threads keep translating meanwhile; scopes nest.
class EnglishScope
{
public:
    EnglishScope();
    ~EnglishScope();
    EnglishScope(const EnglishScope&) = delete;
    EnglishScope& operator=(const EnglishScope&) = delete;

    // True on this thread while a scope lives.
    static bool active();

    // `make`'s text in English (made inside a scope).
    static QString english(const std::function<QString()>& make);

private:
    bool m_outer;
};
