#include "controls/ButtonPainter.h"

#include "winlib/TGdi.h"
#include "winlib/TGlyphButton.h"

#include <objidl.h>
// objidl.h must come first: GDI+ needs IStream.
#include <gdiplus.h>

#include <atomic>
#include <cmath>
#include <vector>

namespace QLXControls {

namespace {

constexpr int ClassicFocusInset = 2;
constexpr int ThemedFocusInset = 3;
constexpr int LabelMargin = 4;

std::atomic<int> g_gdiplusSessions{0};

// GDI+ runs only while a disabled glyph is drawn, so the module never leaves it started
// (nor stops it from a library's entry point); where the host runs GDI+ too, this only counts.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
        if (started_)
            ++g_gdiplusSessions;
    }
    ~GdiplusSession()
    {
        if (!started_)
            return;
        Gdiplus::GdiplusShutdown(token_);
        --g_gdiplusSessions;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// Each channel becomes weight × (R + G + B) + 0.4: a bluish grey.
Gdiplus::ColorMatrix DisabledMatrix()
{
    const double pi = std::acos(-1.0);
    const float redGreen = static_cast<float>(0.4 * std::cos(38 * pi / 180) * std::cos(45 * pi / 180));
    const float blue = static_cast<float>(0.4 * std::sin(38 * pi / 180));
    Gdiplus::ColorMatrix m = {{{redGreen, redGreen, blue, 0, 0},
                               {redGreen, redGreen, blue, 0, 0},
                               {redGreen, redGreen, blue, 0, 0},
                               {0, 0, 0, 1, 0},
                               {0.4f, 0.4f, 0.4f, 0, 1}}};
    return m;
}

// One cel's pixels as top-down 32-bit BGRA, and whether they carry premultiplied alpha.
struct CelPixels {
    std::vector<DWORD> bits;
    bool premultiplied = false;
};

bool ReadCel(const TCelArray& glyph, int cel, CelPixels& pixels)
{
    BITMAP info{};
    if (!GetObjectW(glyph.Bitmap(), sizeof info, &info))
        return false;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> all(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    const int rows =
        GetDIBits(TWindowDC(nullptr), glyph.Bitmap(), 0, info.bmHeight, all.data(), &header, DIB_RGB_COLORS);
    if (rows != info.bmHeight)
        return false;
    const RECT celRect = glyph.CelRect(cel);
    const int w = celRect.right - celRect.left;
    pixels.bits.clear();
    bool anyAlpha = false;
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = celRect.left; x < celRect.right; ++x) {
            const DWORD pixel = all[static_cast<size_t>(y) * info.bmWidth + x];
            anyAlpha = anyAlpha || (pixel >> 24) != 0;
            pixels.bits.push_back(pixel);
        }
    pixels.premultiplied = info.bmBitsPixel == 32 && anyAlpha;
    if (!pixels.premultiplied)
        for (DWORD& pixel : pixels.bits)
            pixel |= 0xFF000000u;
    return w > 0;
}

int CelFor(const ButtonLook& look)
{
    const int cels = look.glyph ? look.glyph->NumCels() : 0;
    if (look.pushed && cels > 1)
        return 1;
    if (look.disabled && cels > 2)
        return 2;
    return 0;
}

void PaintClassicFrame(HDC dc, const ButtonLook& look)
{
    RECT face = look.rect;
    FillRect(dc, &face, GetSysColorBrush(COLOR_3DFACE));
    if (!look.toolbar) {
        PaintButtonBorder(dc, look.rect, look.pushed);
        return;
    }
    // A flat frame, turned over while pushed.
    const COLORREF light = GetSysColor(look.pushed ? COLOR_3DSHADOW : COLOR_3DHILIGHT);
    const COLORREF dark = GetSysColor(look.pushed ? COLOR_3DHILIGHT : COLOR_3DSHADOW);
    const RECT& r = look.rect;
    const TBrush lightBrush(CreateSolidBrush(light));
    const TBrush darkBrush(CreateSolidBrush(dark));
    const RECT top{r.left, r.top, r.right, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom};
    const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &top, lightBrush);
    FillRect(dc, &left, lightBrush);
    FillRect(dc, &bottom, darkBrush);
    FillRect(dc, &right, darkBrush);
}

void PaintThemedFrame(HDC dc, const ButtonLook& look)
{
    const QLX::ThemeLibrary& themes = QLX::ThemeLibrary::Instance();
    if (look.parentBrush)
        FillRect(dc, &look.rect, look.parentBrush);
    else
        themes.DrawParentBackground(look.window, dc, look.rect);
    themes.DrawBackground(look.theme, dc, QLX::ThemePushButton, ThemeStateOf(look), look.rect);
}

SIZE MeasureLabel(HDC dc, const std::wstring& text, const RECT& face)
{
    if (text.empty())
        return {0, 0};
    RECT bounds{0, 0, (face.right - face.left) - 2 * LabelMargin, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void DrawLabel(HDC dc, const std::wstring& text, RECT where, bool disabled)
{
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    const bool threeD = GetSysColor(COLOR_3DHILIGHT) != GetSysColor(COLOR_3DFACE);
    if (!disabled) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    } else if (threeD) {
        // Embossed: a highlight copy one pixel down and right under the shadow-coloured text.
        RECT raised = where;
        OffsetRect(&raised, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &raised, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &where, format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void DrawGlyph(HDC dc, const ButtonLook& look, int cel, const RECT& where)
{
    if (look.disabled)
        DrawDisabledGlyph(dc, *look.glyph, cel, where.left, where.top);
    else
        look.glyph->DrawTransparent(dc, cel, where.left, where.top, look.glyph->PixelAt(cel, 0, 0));
}

void PaintContent(HDC dc, const ButtonLook& look)
{
    const std::wstring label = StripAmpersands(look.label);
    const TSelection font(dc, look.font ? look.font : GetStockObject(DEFAULT_GUI_FONT));
    const int cel = CelFor(look);
    const SIZE glyphSize = look.glyph ? look.glyph->CelSize() : SIZE{0, 0};
    TGlyphLayout layout = LayoutGlyphAndText(look.rect, glyphSize, MeasureLabel(dc, label, look.rect));
    if (look.pushed) {
        // The pushed picture already shows the push; a shared picture moves with the label.
        if (cel != 1)
            OffsetRect(&layout.glyph, 1, 1);
        OffsetRect(&layout.text, 1, 1);
    }
    if (look.glyph)
        DrawGlyph(dc, look, cel, layout.glyph);
    if (!label.empty())
        DrawLabel(dc, label, layout.text, look.disabled);
}

void PaintFocus(HDC dc, const ButtonLook& look)
{
    RECT focus = look.rect;
    const int inset = look.theme ? ThemedFocusInset : ClassicFocusInset;
    InflateRect(&focus, -inset, -inset);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

} // namespace

int ThemeStateOf(const ButtonLook& look)
{
    if (look.disabled)
        return QLX::ThemeDisabled;
    if (look.pushed)
        return QLX::ThemePressed;
    if (look.hot)
        return QLX::ThemeHot;
    if (look.isDefault)
        return QLX::ThemeDefaulted;
    return QLX::ThemeNormal;
}

std::wstring StripAmpersands(const std::wstring& label)
{
    std::wstring shown;
    for (wchar_t c : label)
        if (c != L'&')
            shown += c;
    return shown;
}

bool DrawDisabledGlyph(HDC dc, const TCelArray& glyph, int cel, int x, int y)
{
    CelPixels pixels;
    if (cel < 0 || cel >= glyph.NumCels() || !ReadCel(glyph, cel, pixels))
        return false;
    // Before the pictures below, so that it ends after them.
    const GdiplusSession gdiplus;
    if (!gdiplus.Started())
        return false;
    const SIZE size = glyph.CelSize();
    Gdiplus::Bitmap picture(size.cx, size.cy, size.cx * 4,
                            pixels.premultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB,
                            reinterpret_cast<BYTE*>(pixels.bits.data()));
    Gdiplus::ImageAttributes attributes;
    if (!pixels.premultiplied) {
        // Light grey is the background of the module's pictures.
        const Gdiplus::Color grey(192, 192, 192);
        attributes.SetColorKey(grey, grey);
    }
    Gdiplus::ColorMatrix matrix = DisabledMatrix();
    attributes.SetColorMatrix(&matrix);
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::Status status = graphics.DrawImage(&picture, Gdiplus::Rect(x, y, size.cx, size.cy), 0, 0, size.cx,
                                                      size.cy, Gdiplus::UnitPixel, &attributes);
    return status == Gdiplus::Ok;
}

int GdiplusSessions()
{
    return g_gdiplusSessions.load();
}

void PaintButton(HDC dc, const ButtonLook& look)
{
    if (look.theme)
        PaintThemedFrame(dc, look);
    else
        PaintClassicFrame(dc, look);
    PaintContent(dc, look);
    if (look.focused)
        PaintFocus(dc, look);
}

} // namespace QLXControls
