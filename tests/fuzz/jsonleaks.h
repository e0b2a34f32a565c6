#pragma once

// Qt 5.15's JSON parser leaks the first value of a key that occurs twice in one object when that value is
// an array or object (reproduced with QJsonDocument::fromJson alone). The parser has no exported symbol, so
// the suppression names the exported entry every such stack passes through; anything our own code leaks,
// even data Qt allocated for it, still shows. Qt is built without frame pointers: only the slow unwinder
// reaches that entry from an allocation inside Qt. Built into the harness that includes this (once per
// program) so that a plain run needs neither ASAN_OPTIONS nor LSAN_OPTIONS.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

// Deeply nested input makes the parser recurse: stacks are kept long enough to reach that entry.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0:malloc_context_size=255";
}
