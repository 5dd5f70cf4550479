#include "winlib/TGlyphButton.h"

namespace {

// Room between glyph and label.
constexpr int GlyphTextGap = 4;

} // namespace

TGlyphLayout LayoutGlyphAndText(const RECT& face, SIZE glyph, SIZE text)
{
    const bool both = glyph.cx > 0 && text.cx > 0;
    const int total = glyph.cx + text.cx + (both ? GlyphTextGap : 0);
    const int left = face.left + ((face.right - face.left) - total) / 2;
    const int middle = face.top + (face.bottom - face.top) / 2;
    TGlyphLayout layout{};
    layout.glyph = {left, middle - glyph.cy / 2, left + glyph.cx, middle - glyph.cy / 2 + glyph.cy};
    const int textLeft = layout.glyph.right + (both ? GlyphTextGap : 0);
    layout.text = {textLeft, middle - text.cy / 2, textLeft + text.cx, middle - text.cy / 2 + text.cy};
    return layout;
}

void PaintButtonBorder(HDC dc, const RECT& rect, bool sunken)
{
    RECT edge = rect;
    DrawEdge(dc, &edge, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}
