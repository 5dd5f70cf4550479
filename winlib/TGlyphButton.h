#pragma once
// The library's glyph button: a push button that draws itself from a cel array of
// pictures (normal, pushed, disabled) and an optional label, keeping the state bits
// pushed, hot, default and disabled.

#include "winlib/TCelArray.h"

#include <windows.h>

// Where glyph and label go on a button face: side by side, glyph first, the pair centred;
// either may be empty (size 0).
struct TGlyphLayout {
    RECT glyph;
    RECT text;
};
TGlyphLayout LayoutGlyphAndText(const RECT& face, SIZE glyph, SIZE text);

// The library's button border: raised, or sunken while pushed.
void PaintButtonBorder(HDC dc, const RECT& rect, bool sunken);
