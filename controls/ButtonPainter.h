#pragma once
// How a bitmap-and-text button looks: painted into any device context from a plain
// description of its state, so that the picture can be checked pixel by pixel.

#include "controls/ThemeLibrary.h"
#include "winlib/TCelArray.h"

#include <windows.h>

#include <string>

namespace QLXControls {

// Everything the button's picture depends on at one moment.
struct ButtonLook {
    RECT rect{};
    bool pushed = false;
    bool hot = false;
    bool isDefault = false;
    bool disabled = false;
    bool focused = false;
    // Class "TOOLBAR": a flat one-pixel frame instead of the button border.
    bool toolbar = false;
    const TCelArray* glyph = nullptr;
    // The window text, "&" included.
    std::wstring label;
    // Null: the default user-interface font.
    HFONT font = nullptr;
    // Null: classic drawing.
    QLX::ThemeHandle theme = nullptr;
    // The parent's button brush behind a themed button, or null to let the theme draw
    // the parent's background behind window.
    HBRUSH parentBrush = nullptr;
    HWND window = nullptr;
};

void PaintButton(HDC dc, const ButtonLook& look);

// The theme state of the push-button part: disabled, pushed, hot, default, normal.
int ThemeStateOf(const ButtonLook& look);

// The label as shown: every "&" removed.
std::wstring StripAmpersands(const std::wstring& label);

// Draws a cel greyed through the disabled colour matrix, light grey transparent unless the
// picture carries premultiplied alpha.
bool DrawDisabledGlyph(HDC dc, const TCelArray& glyph, int cel, int x, int y);
// How many GDI+ sessions the module has open: none outside a drawing.
int GdiplusSessions();

} // namespace QLXControls
