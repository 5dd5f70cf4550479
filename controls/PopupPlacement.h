#pragma once
// Size and place of a hint pop-up: measured from its text, kept inside the work area of
// the monitor nearest its anchor.

#include <windows.h>

#include <string>

namespace QLX {

// The window size for text in font: the text wrapped at 300 pixels, plus 5 by 2.
SIZE PopupSizeFor(HDC dc, HFONT font, const std::wstring& text);

// Inside workArea: at most 10 pixels from its right edge, and above the anchor (by the
// height plus 3) when it would pass the bottom, but never below the bottom.
RECT PlacePopup(POINT anchor, SIZE size, const RECT& workArea);

// The work area of the monitor nearest point.
RECT WorkAreaNear(POINT point);

} // namespace QLX
