#include "core/englishscope.h"

namespace {
thread_local bool t_english = false;
}

EnglishScope::EnglishScope() : m_outer(t_english)
{
    t_english = true;
}

EnglishScope::~EnglishScope()
{
    t_english = m_outer;
}

bool EnglishScope::active()
{
    return t_english;
}

QString EnglishScope::english(const std::function<QString()>& make)
{
    const EnglishScope scope;
    return make();
}
