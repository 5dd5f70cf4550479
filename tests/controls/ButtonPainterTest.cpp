// The button's picture, painted into memory bitmaps and read back pixel by pixel.

#include "PixelCanvas.h"

#include "controls/ButtonPainter.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

using namespace QLXControls;
using VireoTest::MakeBitmap;
using VireoTest::PixelCanvas;

namespace {

constexpr DWORD Grey = 0xC0C0C0, Magenta = 0xFF00FF, Cyan = 0x00FFFF, Key = 0x010203;
constexpr COLORREF MagentaRef = RGB(255, 0, 255), CyanRef = RGB(0, 255, 255);

// A cel array of cels x (4 x 4) pixels: a key-coloured top-left corner, the rest in fill[cel].
std::unique_ptr<TCelArray> SolidGlyph(std::initializer_list<DWORD> fills)
{
    const int cels = static_cast<int>(fills.size());
    std::vector<DWORD> pixels(static_cast<size_t>(cels) * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < cels * 4; ++x)
            pixels[y * cels * 4 + x] = (x % 4 == 0 && y == 0) ? Key : *(fills.begin() + x / 4);
    return std::make_unique<TCelArray>(MakeBitmap(cels * 4, 4, pixels.data()), cels);
}

ButtonLook Look(const TCelArray* glyph, const wchar_t* label = L"")
{
    ButtonLook look;
    look.rect = {0, 0, 60, 24};
    look.glyph = glyph;
    look.label = label;
    return look;
}

// The disabled formula for one channel value of 0..255.
int Greyed(COLORREF c, bool blue)
{
    const double pi = std::acos(-1.0);
    const double weight =
        blue ? 0.4 * std::sin(38 * pi / 180) : 0.4 * std::cos(38 * pi / 180) * std::cos(45 * pi / 180);
    const double sum = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 255.0;
    const double v = weight * sum + 0.4;
    return static_cast<int>(std::lround((v > 1 ? 1 : v) * 255));
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= 1;
}

} // namespace

TEST(HelpGlyph, IsAFifteenPixelRoundQuestionMarkOnLightGrey)
{
    auto glyph = TCelArray::FromResource(GetModuleHandleW(nullptr), IDB_HELP_GLYPH);
    ASSERT_TRUE(glyph);
    EXPECT_EQ(15, glyph->CelSize().cx);
    EXPECT_EQ(15, glyph->CelSize().cy);
    for (POINT corner : {POINT{0, 0}, POINT{14, 0}, POINT{0, 14}, POINT{14, 14}})
        EXPECT_EQ(RGB(192, 192, 192), glyph->PixelAt(0, corner.x, corner.y));
    // Round: the middle of each edge is inside the disc.
    for (POINT rim : {POINT{7, 0}, POINT{0, 7}, POINT{14, 7}, POINT{7, 14}})
        EXPECT_NE(RGB(192, 192, 192), glyph->PixelAt(0, rim.x, rim.y));
    int white = 0;
    for (int y = 3; y < 12; ++y)
        for (int x = 3; x < 12; ++x)
            white += glyph->PixelAt(0, x, y) == RGB(255, 255, 255);
    EXPECT_GT(white, 15);
    // The dot of the question mark stands apart from its hook.
    EXPECT_EQ(RGB(255, 255, 255), glyph->PixelAt(0, 7, 11));
    EXPECT_NE(RGB(255, 255, 255), glyph->PixelAt(0, 7, 9));
}

TEST(CelArray, DrawsOneCelLeavingTheTransparentColourUntouched)
{
    auto glyph = SolidGlyph({Magenta, Cyan});
    EXPECT_EQ(2, glyph->NumCels());
    EXPECT_EQ(4, glyph->CelSize().cx);
    EXPECT_EQ(CyanRef, glyph->PixelAt(1, 1, 1));
    EXPECT_EQ(CLR_INVALID, glyph->PixelAt(2, 0, 0));
    PixelCanvas canvas(8, 8, RGB(0, 0, 255));
    ASSERT_TRUE(glyph->DrawTransparent(canvas.Dc(), 1, 2, 2, RGB(1, 2, 3)));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(2, 2));
    EXPECT_EQ(CyanRef, canvas.At(3, 2));
    EXPECT_EQ(CyanRef, canvas.At(5, 5));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(6, 6));
}

TEST(ButtonPainter, DisabledGlyphFollowsTheGreyingFormula)
{
    const DWORD pixels[] = {Grey, 0xFF0000, 0x00FF00, 0x0000FF, 0x0A141E, 0xFFFFFF, 0x000000, 0x806040};
    auto glyph = std::make_unique<TCelArray>(MakeBitmap(4, 2, pixels), 1);
    PixelCanvas canvas(6, 4, RGB(0, 100, 0));
    ASSERT_TRUE(DrawDisabledGlyph(canvas.Dc(), *glyph, 0, 1, 1));
    EXPECT_EQ(0, GdiplusSessions()) << "GDI+ is not left running";
    EXPECT_EQ(RGB(0, 100, 0), canvas.At(1, 1)) << "light grey is transparent";
    for (int i = 1; i < 8; ++i) {
        const DWORD p = pixels[i];
        const COLORREF source = RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
        const COLORREF drawn = canvas.At(1 + i % 4, 1 + i / 4);
        EXPECT_TRUE(Near(Greyed(source, false), GetRValue(drawn))) << i << ": red " << int(GetRValue(drawn));
        EXPECT_TRUE(Near(Greyed(source, false), GetGValue(drawn))) << i << ": green " << int(GetGValue(drawn));
        EXPECT_TRUE(Near(Greyed(source, true), GetBValue(drawn))) << i << ": blue " << int(GetBValue(drawn));
    }
}

TEST(ButtonPainter, PremultipliedPictureKeepsItsLightGrey)
{
    // Alpha in the picture: grey is drawn (greyed), a fully transparent pixel is not.
    const DWORD pixels[] = {0xFFC0C0C0, 0x00000000};
    auto glyph = std::make_unique<TCelArray>(MakeBitmap(2, 1, pixels), 1);
    PixelCanvas canvas(2, 1, RGB(0, 100, 0));
    ASSERT_TRUE(DrawDisabledGlyph(canvas.Dc(), *glyph, 0, 0, 0));
    EXPECT_TRUE(Near(Greyed(RGB(192, 192, 192), false), GetRValue(canvas.At(0, 0))));
    EXPECT_EQ(RGB(0, 100, 0), canvas.At(1, 0));
}

TEST(ButtonPainter, DisabledButtonGreysItsGlyph)
{
    auto glyph = SolidGlyph({0xFF0000});
    const COLORREF greyedRed =
        RGB(Greyed(RGB(255, 0, 0), false), Greyed(RGB(255, 0, 0), false), Greyed(RGB(255, 0, 0), true));
    PixelCanvas enabled(60, 24, 0), disabled(60, 24, 0);
    ButtonLook look = Look(glyph.get());
    PaintButton(enabled.Dc(), look);
    look.disabled = true;
    PaintButton(disabled.Dc(), look);
    const RECT where = enabled.BoundsOf(RGB(255, 0, 0));
    ASSERT_NE(0, where.right);
    const COLORREF drawn = disabled.At(where.left + 1, where.top + 1);
    EXPECT_TRUE(Near(GetRValue(greyedRed), GetRValue(drawn)) && Near(GetBValue(greyedRed), GetBValue(drawn)));
    EXPECT_EQ(0, disabled.BoundsOf(RGB(255, 0, 0)).right);
}

TEST(ButtonPainter, PushedButtonMovesGlyphAndLabelOnePixel)
{
    auto glyph = SolidGlyph({Magenta});
    PixelCanvas up(60, 24, 0), down(60, 24, 0);
    ButtonLook look = Look(glyph.get(), L"Hi");
    PaintButton(up.Dc(), look);
    look.pushed = true;
    PaintButton(down.Dc(), look);
    const RECT glyphUp = up.BoundsOf(MagentaRef), glyphDown = down.BoundsOf(MagentaRef);
    ASSERT_NE(0, glyphUp.right);
    EXPECT_EQ(glyphUp.left + 1, glyphDown.left);
    EXPECT_EQ(glyphUp.top + 1, glyphDown.top);
    const RECT inside{3, 3, 57, 21};
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const RECT labelUp = up.BoundsOf(text, &inside), labelDown = down.BoundsOf(text, &inside);
    ASSERT_NE(0, labelUp.right);
    EXPECT_EQ(labelUp.left + 1, labelDown.left);
    EXPECT_EQ(labelUp.top + 1, labelDown.top);
    EXPECT_GT(labelUp.left, glyphUp.right) << "the label follows the glyph";
}

TEST(ButtonPainter, PushedAndDisabledPicturesAreShownInPlace)
{
    auto glyph = SolidGlyph({Magenta, Cyan, 0xFFFFFF});
    PixelCanvas up(60, 24, 0), down(60, 24, 0), off(60, 24, 0);
    ButtonLook look = Look(glyph.get());
    PaintButton(up.Dc(), look);
    look.pushed = true;
    PaintButton(down.Dc(), look);
    look.pushed = false;
    look.disabled = true;
    PaintButton(off.Dc(), look);
    const RECT normal = up.BoundsOf(MagentaRef), pushed = down.BoundsOf(CyanRef);
    ASSERT_NE(0, normal.right);
    EXPECT_TRUE(EqualRect(&normal, &pushed)) << "the pushed picture does not move";
    // White greys to white; the normal picture's magenta would not.
    const RECT disabled = off.BoundsOf(RGB(255, 255, 255), &normal);
    EXPECT_TRUE(EqualRect(&normal, &disabled));
    EXPECT_EQ(0, down.BoundsOf(MagentaRef).right + off.BoundsOf(MagentaRef).right);
}

TEST(ButtonPainter, LabelIsDrawnWithoutAmpersands)
{
    PixelCanvas marked(60, 24, 0), plain(60, 24, 0), shorter(60, 24, 0);
    PaintButton(marked.Dc(), Look(nullptr, L"&He&lp"));
    PaintButton(plain.Dc(), Look(nullptr, L"Help"));
    PaintButton(shorter.Dc(), Look(nullptr, L"Hel"));
    EXPECT_TRUE(marked.SameAs(plain));
    EXPECT_FALSE(plain.SameAs(shorter));
    EXPECT_EQ(L"AB", StripAmpersands(L"&A&&B&"));
}

TEST(ButtonPainter, ClassicBorderIsRaisedAndSunkenWhilePushed)
{
    struct Case {
        bool pushed, toolbar;
        int topLeft, bottomRight;
    } cases[] = {{false, false, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
                 {true, false, COLOR_3DSHADOW, COLOR_3DHILIGHT},
                 {false, true, COLOR_3DHILIGHT, COLOR_3DSHADOW},
                 {true, true, COLOR_3DSHADOW, COLOR_3DHILIGHT}};
    for (const Case& c : cases) {
        PixelCanvas canvas(60, 24, RGB(1, 1, 1));
        ButtonLook look = Look(nullptr);
        look.pushed = c.pushed;
        look.toolbar = c.toolbar;
        PaintButton(canvas.Dc(), look);
        EXPECT_EQ(GetSysColor(c.topLeft), canvas.At(0, 0)) << c.pushed << c.toolbar;
        EXPECT_EQ(GetSysColor(c.bottomRight), canvas.At(59, 23)) << c.pushed << c.toolbar;
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), canvas.At(30, 12));
        if (c.toolbar) {
            EXPECT_EQ(GetSysColor(COLOR_3DFACE), canvas.At(1, 1)) << "a one-pixel frame";
        }
    }
}

TEST(ButtonPainter, ClassicFocusRectangleLiesTwoPixelsInside)
{
    PixelCanvas plain(60, 24, 0), focused(60, 24, 0);
    ButtonLook look = Look(nullptr);
    PaintButton(plain.Dc(), look);
    look.focused = true;
    PaintButton(focused.Dc(), look);
    int top = 0, left = 0, offOutline = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 60; ++x) {
            if (plain.At(x, y) == focused.At(x, y))
                continue;
            const bool onOutline =
                ((x == 2 || x == 57) && y >= 2 && y <= 21) || ((y == 2 || y == 21) && x >= 2 && x <= 57);
            offOutline += !onOutline;
            top += y == 2;
            left += x == 2;
        }
    EXPECT_GT(top, 10);
    EXPECT_GT(left, 4);
    EXPECT_EQ(0, offOutline);
}

TEST(ButtonPainter, ThemeStateFollowsDisabledPushedHotDefault)
{
    struct Case {
        bool disabled, pushed, hot, isDefault;
        int state;
    } cases[] = {{true, true, true, true, 4},
                 {false, true, true, true, 3},
                 {false, false, true, true, 2},
                 {false, false, false, true, 5},
                 {false, false, false, false, 1}};
    for (const Case& c : cases) {
        ButtonLook look;
        look.disabled = c.disabled;
        look.pushed = c.pushed;
        look.hot = c.hot;
        look.isDefault = c.isDefault;
        EXPECT_EQ(c.state, ThemeStateOf(look));
    }
}

TEST(ButtonPainter, ThemedButtonShowsItsStateAndFocusThreePixelsIn)
{
    const QLX::ThemeLibrary& themes = QLX::ThemeLibrary::Instance();
    const QLX::ThemeHandle theme = themes.Open(nullptr, L"BUTTON");
    if (!theme)
        GTEST_SKIP() << "no visual styles here";
    HBRUSH parentBrush = CreateSolidBrush(RGB(0, 0, 200));
    ButtonLook look = Look(nullptr);
    look.theme = theme;
    look.parentBrush = parentBrush;
    PixelCanvas normal(60, 24, 0), pushed(60, 24, 0), focused(60, 24, 0);
    PaintButton(normal.Dc(), look);
    look.focused = true;
    PaintButton(focused.Dc(), look);
    look.focused = false;
    look.pushed = true;
    PaintButton(pushed.Dc(), look);
    EXPECT_FALSE(normal.SameAs(pushed));
    int onInset = 0, offInset = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 60; ++x)
            if (normal.At(x, y) != focused.At(x, y)) {
                const bool outline =
                    ((x == 3 || x == 56) && y >= 3 && y <= 20) || ((y == 3 || y == 20) && x >= 3 && x <= 56);
                (outline ? onInset : offInset)++;
            }
    EXPECT_GT(onInset, 20);
    EXPECT_EQ(0, offInset);
    EXPECT_EQ(0, normal.BoundsOf(0).right) << "the parent's brush or the theme covers every pixel";
    DeleteObject(parentBrush);
    themes.Close(theme);
}

TEST(ButtonPainter, DisabledLabelIsEmbossed)
{
    PixelCanvas canvas(60, 24, 0);
    ButtonLook look = Look(nullptr, L"Help");
    look.disabled = true;
    PaintButton(canvas.Dc(), look);
    const RECT inside{3, 3, 57, 21};
    EXPECT_NE(0, canvas.BoundsOf(GetSysColor(COLOR_3DHILIGHT), &inside).right);
    EXPECT_NE(0, canvas.BoundsOf(GetSysColor(COLOR_3DSHADOW), &inside).right);
    EXPECT_EQ(0, canvas.BoundsOf(GetSysColor(COLOR_BTNTEXT), &inside).right);
}
