#pragma once

#include <QString>

// `text` without the characters that an XML 1.0 document cannot carry (NUL and the other C0 controls
// except tab, line feed and carriage return, unpaired surrogates, U+FFFE and U+FFFF). Everything else is
// kept as it is. Used for every instrument-supplied text that reaches a table or a KML document.
QString xmlSafeText(const QString& text);
