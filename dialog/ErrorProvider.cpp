#include "dialog/ErrorProvider.h"

#include "winlib/TGdi.h"

namespace QLXControls {
namespace {

constexpr int TextWidth = 300;
constexpr int Margin = 4;
const COLORREF Background = RGB(255, 255, 225);

} // namespace

DEFINE_RESPONSE_TABLE(ErrorProvider, TWindow, EV_MESSAGE(WM_PAINT, EvPaint))

ErrorProvider::ErrorProvider(HWND owner) : TWindow(owner, L"", nullptr), titleFont_(0, true)
{
    Attr().style = WS_POPUP | WS_BORDER | WS_DISABLED;
    Attr().exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Attr().x = Attr().y = 0;
    Attr().width = Attr().height = 1;
    Create();
}

void ErrorProvider::GetWindowClass(WNDCLASSEXW& windowClass) const
{
    windowClass.hbrBackground = nullptr;
    windowClass.style |= CS_SAVEBITS;
}

void ErrorProvider::SetTitle(const wchar_t* title)
{
    SetWindowText(title);
    Invalidate();
}

void ErrorProvider::SetMessage(const wchar_t* message)
{
    message_ = message ? message : L"";
    Invalidate();
}

SIZE ErrorProvider::MeasureText() const
{
    return DrawTexts(TWindowDC(nullptr), true);
}

void ErrorProvider::Show(HWND anchor)
{
    const SIZE text = MeasureText();
    RECT frame{0, 0, text.cx + 2 * Margin, text.cy + 2 * Margin};
    AdjustWindowRectEx(&frame, GetStyle(), FALSE, static_cast<DWORD>(GetWindowLongPtrW(GetHandle(), GWL_EXSTYLE)));
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOZORDER;
    int x = 0, y = 0;
    if (anchor) {
        RECT field{};
        ::GetWindowRect(anchor, &field);
        x = field.left;
        y = field.bottom + 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top, flags);
    Invalidate();
}

void ErrorProvider::Hide()
{
    ShowWindow(SW_HIDE);
}

SIZE ErrorProvider::DrawTexts(HDC dc, bool calculate) const
{
    const std::wstring title = GetTitle();
    const UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    // Each text is measured first, so the message goes below the title's real height.
    RECT titleRect{Margin, Margin, Margin + TextWidth, Margin};
    const TSelection selection(dc, titleFont_.GetHandle());
    DrawTextW(dc, title.c_str(), -1, &titleRect, format | DT_CALCRECT);
    if (!calculate)
        DrawTextW(dc, title.c_str(), -1, &titleRect, format);
    RECT messageRect{Margin, titleRect.bottom + 2, Margin + TextWidth, titleRect.bottom + 2};
    SelectObject(dc, font_.GetHandle());
    DrawTextW(dc, message_.c_str(), -1, &messageRect, format | DT_CALCRECT);
    if (!calculate)
        DrawTextW(dc, message_.c_str(), -1, &messageRect, format);
    const LONG right = titleRect.right > messageRect.right ? titleRect.right : messageRect.right;
    return SIZE{right - Margin, messageRect.bottom - Margin};
}

LRESULT ErrorProvider::EvPaint(WPARAM, LPARAM)
{
    const TPaintDC dc(GetHandle());
    Paint(dc, GetClientRect());
    return 0;
}

void ErrorProvider::Paint(HDC dc, const RECT& client) const
{
    FillRect(dc, &client, TBrush(CreateSolidBrush(Background)));
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF color = SetTextColor(dc, RGB(0, 0, 0));
    DrawTexts(dc, false);
    SetTextColor(dc, color);
    SetBkMode(dc, mode);
}

} // namespace QLXControls
