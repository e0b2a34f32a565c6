// Reads arbitrary bytes as an options snapshot. Whatever is accepted must write out and read back to the
// same ids, values and time, since a restore writes exactly what was read.
#include "options/optionssnapshot.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Qt 5.15's JSON parser leaks the first value of a key that occurs twice in one object when that value is
// an array or object (reproduced with QJsonDocument::fromJson alone). The parser has no exported symbol, so
// the suppression names the exported entry every such stack passes through; anything our own code leaks,
// even data Qt allocated for it, still shows. Qt is built without frame pointers: only the slow unwinder
// reaches that entry from an allocation inside Qt. Built into the harness so that a plain run needs
// neither ASAN_OPTIONS nor LSAN_OPTIONS.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

// Deeply nested input makes the parser recurse: stacks are kept long enough to reach that entry.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0:malloc_context_size=255";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    QString error;
    const OptionsSnapshot snapshot = OptionsSnapshot::fromJson(input, &error);
    if (!snapshot.isValid()) {
        if (error.isEmpty()) {
            std::abort(); // a refusal always says why
        }
        return 0;
    }
    snapshot.fileName();
    const OptionsSnapshot again = OptionsSnapshot::fromJson(snapshot.toJson(), &error);
    // Texts are not compared: a lone surrogate in a JSON string does not survive UTF-8, and texts are
    // never written to an instrument.
    if (!again.isValid() || again.options.size() != snapshot.options.size() ||
        again.takenAt != snapshot.takenAt) {
        std::abort();
    }
    for (int i = 0; i < snapshot.options.size(); ++i) {
        if (again.options[i].id != snapshot.options[i].id ||
            again.options[i].value != snapshot.options[i].value) {
            std::abort();
        }
    }
    return 0;
}
