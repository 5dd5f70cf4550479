#include "winlib/TGlyphButton.h"

#include "winlib/TGdi.h"

namespace {

// Room between glyph and label.
constexpr int GlyphTextGap = 4;
// The hot bit of BM_GETSTATE (a common-controls addition).
constexpr UINT HotState = 0x0200;

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

DEFINE_RESPONSE_TABLE(TGlyphButton, TButton, EV_MESSAGE(WM_PAINT, EvPaint), EV_MESSAGE(WM_PRINTCLIENT, EvPrintClient),
                      EV_MESSAGE(WM_ERASEBKGND, EvEraseBackground), EV_MESSAGE(WM_LBUTTONDOWN, EvLButtonDown),
                      EV_MESSAGE(WM_LBUTTONUP, EvLButtonUp), EV_MESSAGE(WM_LBUTTONDBLCLK, EvLButtonDown),
                      EV_MESSAGE(WM_MOUSEMOVE, EvMouseMove), EV_MESSAGE(WM_KEYDOWN, EvKeyDown),
                      EV_MESSAGE(WM_KEYUP, EvKeyUp), EV_MESSAGE(WM_SETFOCUS, EvFocusChange),
                      EV_MESSAGE(WM_KILLFOCUS, EvFocusChange), EV_MESSAGE(WM_ENABLE, EvEnable),
                      EV_MESSAGE(WM_CANCELMODE, EvCancelMode), EV_MESSAGE(BM_GETSTATE, EvGetState),
                      EV_MESSAGE(BM_SETSTATE, EvSetState), EV_MESSAGE(WM_SETTEXT, EvSetText),
                      EV_MESSAGE(BM_SETSTYLE, EvSetStyle))

TGlyphButton::TGlyphButton(TWindow* parent, int resourceId, TModule* module) : TButton(parent, resourceId, module) {}

TGlyphButton::TGlyphButton(TWindow* parent, int id, const wchar_t* text, int x, int y, int width, int height,
                           TModule* module)
    : TButton(parent, id, text, x, y, width, height, module)
{}

void TGlyphButton::SetGlyph(std::unique_ptr<TCelArray> glyph)
{
    glyph_ = std::move(glyph);
    if (GetHandle())
        Invalidate();
}

bool TGlyphButton::SetGlyph(HINSTANCE module, int bitmapId, int celCount)
{
    auto glyph = TCelArray::FromResource(module, bitmapId, celCount);
    if (!glyph)
        return false;
    SetGlyph(std::move(glyph));
    return true;
}

void TGlyphButton::SetPushed(bool pushed)
{
    if (pushed_ == pushed)
        return;
    pushed_ = pushed;
    Invalidate(false);
}

void TGlyphButton::SetHot(bool hot)
{
    if (hot_ == hot)
        return;
    hot_ = hot;
    Invalidate(false);
}

void TGlyphButton::NotifyClicked()
{
    const HWND parent = ::GetParent(GetHandle());
    if (parent)
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetId(), BN_CLICKED), reinterpret_cast<LPARAM>(GetHandle()));
}

bool TGlyphButton::IsInside(LPARAM pointInClient) const
{
    const POINT point{static_cast<short>(LOWORD(pointInClient)), static_cast<short>(HIWORD(pointInClient))};
    const RECT client = GetClientRect();
    return PtInRect(&client, point) != FALSE;
}

void TGlyphButton::Paint(HDC dc, const RECT& client)
{
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    PaintButtonBorder(dc, client, pushed_);
    const std::wstring text = GetWindowText();
    // Held to the end: the focus rectangle draws no text.
    const TSelection font(dc, GetWindowFont() ? GetWindowFont() : GetStockObject(DEFAULT_GUI_FONT));
    SIZE textSize{0, 0};
    if (!text.empty())
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &textSize);
    const int cel = pushed_ && glyph_ && glyph_->NumCels() > 1        ? 1
                    : IsDisabled() && glyph_ && glyph_->NumCels() > 2 ? 2
                                                                      : 0;
    TGlyphLayout layout = LayoutGlyphAndText(client, glyph_ ? glyph_->CelSize() : SIZE{0, 0}, textSize);
    if (pushed_) {
        OffsetRect(&layout.glyph, cel == 1 ? 0 : 1, cel == 1 ? 0 : 1);
        OffsetRect(&layout.text, 1, 1);
    }
    if (glyph_)
        glyph_->DrawTransparent(dc, cel, layout.glyph.left, layout.glyph.top, glyph_->PixelAt(cel, 0, 0));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsDisabled() ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &layout.text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SetBkMode(dc, oldMode);
    if (GetFocus() == GetHandle()) {
        RECT focus = client;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT TGlyphButton::EvPaint(WPARAM, LPARAM)
{
    const TPaintDC dc(GetHandle());
    if (dc)
        Paint(dc, GetClientRect());
    return 0;
}

LRESULT TGlyphButton::EvPrintClient(WPARAM wParam, LPARAM)
{
    Paint(reinterpret_cast<HDC>(wParam), GetClientRect());
    return 0;
}

LRESULT TGlyphButton::EvEraseBackground(WPARAM, LPARAM)
{
    // Paint covers every pixel.
    return 1;
}

LRESULT TGlyphButton::EvLButtonDown(WPARAM, LPARAM)
{
    if (GetFocus() != GetHandle())
        SetFocus();
    SetPushed(true);
    SetCapture(GetHandle());
    return 0;
}

LRESULT TGlyphButton::EvLButtonUp(WPARAM, LPARAM lParam)
{
    if (!HasCapture())
        return 0;
    const bool click = pushed_ && IsInside(lParam);
    SetPushed(false);
    ReleaseCapture();
    if (click)
        NotifyClicked();
    return 0;
}

LRESULT TGlyphButton::EvMouseMove(WPARAM, LPARAM lParam)
{
    // While pressed, the push follows the pointer in and out.
    if (HasCapture())
        SetPushed(IsInside(lParam));
    return 0;
}

LRESULT TGlyphButton::EvKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam != VK_SPACE)
        return DefaultProcessing();
    // The first press, not the repeats.
    if (!(lParam & (1 << 30)))
        SetPushed(true);
    return 0;
}

LRESULT TGlyphButton::EvKeyUp(WPARAM wParam, LPARAM)
{
    if (wParam == VK_SPACE && pushed_) {
        SetPushed(false);
        NotifyClicked();
    }
    return 0;
}

LRESULT TGlyphButton::EvFocusChange(WPARAM, LPARAM)
{
    Invalidate(false);
    return 0;
}

LRESULT TGlyphButton::EvEnable(WPARAM, LPARAM)
{
    Invalidate(false);
    return 0;
}

LRESULT TGlyphButton::EvCancelMode(WPARAM, LPARAM)
{
    if (HasCapture())
        ReleaseCapture();
    SetPushed(false);
    return 0;
}

LRESULT TGlyphButton::EvGetState(WPARAM, LPARAM)
{
    UINT state = 0;
    if (pushed_)
        state |= BST_PUSHED;
    if (hot_)
        state |= HotState;
    if (GetFocus() == GetHandle())
        state |= BST_FOCUS;
    return state;
}

LRESULT TGlyphButton::EvSetState(WPARAM wParam, LPARAM)
{
    SetPushed(wParam != 0);
    return 0;
}

LRESULT TGlyphButton::EvSetText(WPARAM wParam, LPARAM lParam)
{
    // Stored as any window's text; the system button would paint over ours.
    const LRESULT result = DefWindowProcW(GetHandle(), WM_SETTEXT, wParam, lParam);
    Invalidate(false);
    return result;
}

LRESULT TGlyphButton::EvSetStyle(WPARAM wParam, LPARAM lParam)
{
    DefaultProcessing(BM_SETSTYLE, wParam, FALSE);
    if (lParam)
        Invalidate(false);
    return 0;
}
