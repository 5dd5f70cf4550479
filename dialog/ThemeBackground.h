#pragma once
// The setup dialog's themed background: a pattern brush made from the tab control's
// own picture, so that the tab body shows through behind the panes and their labels.

#include "winlib/TGdi.h"

#include <windows.h>

namespace OnlineEvents {

class ThemeBackground {
public:
    ThemeBackground() = default;
    ThemeBackground(const ThemeBackground&) = delete;
    ThemeBackground& operator=(const ThemeBackground&) = delete;

    // Whether the application is drawn with visual themes; false without UxTheme.dll.
    static bool CheckAppThemed();

    // Paints the tab control into a memory bitmap and makes the brush from it.
    void Rebuild(HWND tabControl);
    // The tab control changed: the brush is made again when next painted with, since
    // painting a themed tab control is slow and a page change may resize it twice.
    void MarkStale() { stale_ = true; }
    HBRUSH Brush() const { return brush_; }

    // Both paint operations first rebuild a stale brush.
    // Fills the window's client area with the brush aligned to the tab control;
    // false when there is no brush and the default erase is to run.
    bool Erase(HWND window, HDC dc, HWND tabControl) const;
    // The answer to a static control's colour request: a transparent text background
    // and the brush aligned to the tab control; null when there is no brush.
    HBRUSH StaticColour(HDC dc, HWND control, HWND tabControl) const;

private:
    void RebuildIfStale(HWND tabControl) const;

    TBrush brush_;
    bool stale_ = false;
};

} // namespace OnlineEvents
