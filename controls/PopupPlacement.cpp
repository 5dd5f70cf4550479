#include "controls/PopupPlacement.h"

#include "winlib/TGdi.h"

#include <algorithm>

namespace QLX {

namespace {

constexpr int WrapWidth = 300;
constexpr int ExtraWidth = 5;
constexpr int ExtraHeight = 2;
constexpr int RightMargin = 10;
constexpr int AboveGap = 3;

} // namespace

SIZE PopupSizeFor(HDC dc, HFONT font, const std::wstring& text)
{
    const TSelection selection(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT bounds{0, 0, WrapWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {bounds.right - bounds.left + ExtraWidth, bounds.bottom - bounds.top + ExtraHeight};
}

RECT PlacePopup(POINT anchor, SIZE size, const RECT& workArea)
{
    const int x = std::min<int>(anchor.x, workArea.right - RightMargin - size.cx);
    int y = anchor.y;
    if (y + size.cy > workArea.bottom)
        y = anchor.y - size.cy - AboveGap;
    // An anchor within a few pixels of the bottom would still leave the pop-up hanging over it.
    if (y + size.cy > workArea.bottom)
        y = workArea.bottom - size.cy;
    return {x, y, x + size.cx, y + size.cy};
}

RECT WorkAreaNear(POINT point)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace QLX
