#pragma once

// Registers the compiled-in resource collection (style sheet, icons, device pictures). Idempotent;
// call it before the first ":/..." lookup. Needed because the collection lives in a static library.
void initArtwork();
