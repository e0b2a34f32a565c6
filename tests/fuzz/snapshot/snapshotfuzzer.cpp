// Reads arbitrary bytes as an options snapshot. Whatever is accepted must write out and read back to the
// same ids, values and time, since a restore writes exactly what was read.
#include "options/optionssnapshot.h"
#include "tests/fuzz/jsonleaks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
