#include "dialog/ThemeBackground.h"

#include "controls/ThemeLibrary.h"

namespace OnlineEvents {

namespace {

// The window's top-left corner in the tab control's client coordinates.
POINT OffsetFromTabs(HWND window, HWND tabControl)
{
    POINT corner{0, 0};
    MapWindowPoints(window, tabControl, &corner, 1);
    return corner;
}

} // namespace

bool ThemeBackground::CheckAppThemed()
{
    return QLX::ThemeLibrary::Instance().IsAppThemed();
}

void ThemeBackground::RebuildIfStale(HWND tabControl) const
{
    if (stale_)
        const_cast<ThemeBackground*>(this)->Rebuild(tabControl);
}

void ThemeBackground::Rebuild(HWND tabControl)
{
    stale_ = false;
    brush_ = TBrush();
    RECT bounds;
    if (!tabControl || !GetWindowRect(tabControl, &bounds))
        return;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0)
        return;
    TMemoryDC memory;
    TBitmap picture;
    {
        const TWindowDC screen(nullptr);
        memory = TMemoryDC(screen);
        picture = TBitmap(CreateCompatibleBitmap(screen, width, height));
    }
    if (!memory || !picture)
        return;
    {
        const TSelection selection(memory, picture);
        SendMessageW(tabControl, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.GetHandle()),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    }
    brush_ = TBrush(CreatePatternBrush(picture));
}

bool ThemeBackground::Erase(HWND window, HDC dc, HWND tabControl) const
{
    RebuildIfStale(tabControl);
    if (!brush_)
        return false;
    const POINT offset = OffsetFromTabs(window, tabControl);
    POINT oldOrigin;
    SetBrushOrgEx(dc, -offset.x, -offset.y, &oldOrigin);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush_);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    return true;
}

HBRUSH ThemeBackground::StaticColour(HDC dc, HWND control, HWND tabControl) const
{
    RebuildIfStale(tabControl);
    if (!brush_)
        return nullptr;
    const POINT offset = OffsetFromTabs(control, tabControl);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, -offset.x, -offset.y, nullptr);
    return brush_;
}

} // namespace OnlineEvents
