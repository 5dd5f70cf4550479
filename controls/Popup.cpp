#include "controls/Popup.h"

#include "controls/HostUi.h"
#include "controls/PopupPlacement.h"
#include "winlib/TGdi.h"

namespace QLX {

namespace {

constexpr COLORREF HintBackground = RGB(255, 255, 225);
constexpr int AnchorOffset = 2;

SIZE MeasureHint(HFONT font, const QLXString& text)
{
    return PopupSizeFor(TMemoryDC(nullptr), font, text.c_str());
}

} // namespace

DEFINE_RESPONSE_TABLE(Popup, TWindow, EV_MESSAGE(WM_PAINT, EvPaint), EV_MESSAGE(WM_PRINTCLIENT, EvPrintClient),
                      EV_MESSAGE(WM_ERASEBKGND, EvEraseBackground))

Popup::Popup(HWND owner, POINT point, const QLXString& text, TModule* module)
    : TWindow(owner, text.c_str(), module), anchor_{point.x + AnchorOffset, point.y + AnchorOffset}, text_(text)
{
    size_ = MeasureHint(font_, text_);
    const RECT place = PlacePopup(anchor_, size_, WorkAreaNear(anchor_));
    // Disabled: the hint never takes the focus or the mouse from what lies under it.
    Attr().style = WS_POPUP | WS_DISABLED | WS_BORDER;
    Attr().exStyle = WS_EX_TOOLWINDOW;
    Attr().x = place.left;
    Attr().y = place.top;
    Attr().width = size_.cx;
    Attr().height = size_.cy;
    Create();
    SetWindowPos(nullptr, place.left, place.top, size_.cx, size_.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetHostUi().ShowsHints())
        ShowWindow(SW_SHOWNOACTIVATE);
}

void Popup::GetWindowClass(WNDCLASSEXW& windowClass) const
{
    windowClass.style |= CS_SAVEBITS;
    windowClass.hbrBackground = nullptr;
}

void Popup::PaintHint(HDC dc, const RECT& client, HFONT font, const QLXString& text)
{
    FillRect(dc, &client, TBrush(CreateSolidBrush(HintBackground)));
    const TSelection selection(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    RECT where = client;
    OffsetRect(&where, 1, 0);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.Length()), &where, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

LRESULT Popup::EvPaint(WPARAM, LPARAM)
{
    const TPaintDC dc(GetHandle());
    if (dc)
        PaintHint(dc, GetClientRect(), font_, text_);
    return 0;
}

LRESULT Popup::EvPrintClient(WPARAM wParam, LPARAM)
{
    PaintHint(reinterpret_cast<HDC>(wParam), GetClientRect(), font_, text_);
    return 0;
}

LRESULT Popup::EvEraseBackground(WPARAM, LPARAM)
{
    return 1;
}

} // namespace QLX
