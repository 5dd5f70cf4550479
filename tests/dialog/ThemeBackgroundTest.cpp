// The themed background lines the tab control's own picture up behind a pane.

#include "dialog/ThemeBackground.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>

using OnlineEvents::ThemeBackground;

namespace {

// A memory bitmap of the given size whose pixels can be read back.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Canvas(int width, int height)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

struct Windows {
    HWND top, tabs, pane;
    Windows()
    {
        InitCommonControls();
        top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 200, top, nullptr, nullptr,
                               nullptr);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"Analog Output 1");
        SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 12, 12, 100, 40, top, nullptr, nullptr,
                               nullptr);
    }
    ~Windows() { DestroyWindow(top); }
};

} // namespace

TEST(ThemeBackground, PaneErasesWithTheTabPictureAtItsOwnPlace)
{
    Windows w;
    ThemeBackground background;
    background.Rebuild(w.tabs);
    ASSERT_NE(nullptr, background.Brush());

    Canvas tabPicture(300, 200);
    SendMessageW(w.tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(tabPicture.dc),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    Canvas pane(100, 40);
    ASSERT_TRUE(background.Erase(w.pane, pane.dc, w.tabs));

    // The pane covers the first tab's label, at (2, 2) inside the tab control.
    int differing = 0;
    std::set<COLORREF> colours;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            const COLORREF got = GetPixel(pane.dc, x, y);
            differing += got != GetPixel(tabPicture.dc, x + 2, y + 2);
            colours.insert(got);
        }
    }
    EXPECT_EQ(0, differing);
    EXPECT_GT(colours.size(), 1u); // the label and the frame are in the picture
}

TEST(ThemeBackground, StaticColourIsTransparentOverTheBrush)
{
    Windows w;
    ThemeBackground background;
    Canvas canvas(10, 10);
    EXPECT_EQ(nullptr, background.StaticColour(canvas.dc, w.pane, w.tabs)); // no brush yet
    EXPECT_FALSE(background.Erase(w.pane, canvas.dc, w.tabs));

    background.Rebuild(w.tabs);
    SetBkMode(canvas.dc, OPAQUE);
    EXPECT_EQ(background.Brush(), background.StaticColour(canvas.dc, w.pane, w.tabs));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc));
    POINT origin;
    GetBrushOrgEx(canvas.dc, &origin);
    EXPECT_EQ(-2, origin.x);
    EXPECT_EQ(-2, origin.y);
}

TEST(ThemeBackground, StaleBrushIsMadeAgainForTheNewTabSizeWhenPainted)
{
    Windows w;
    ThemeBackground background;
    background.Rebuild(w.tabs);
    MoveWindow(w.tabs, 10, 10, 300, 40, FALSE); // its bottom frame now runs through the pane
    background.MarkStale();
    Canvas pane(100, 40);
    ASSERT_TRUE(background.Erase(w.pane, pane.dc, w.tabs));
    Canvas tabPicture(300, 40);
    SendMessageW(w.tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(tabPicture.dc),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    int differing = 0;
    for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 100; ++x)
            differing += GetPixel(pane.dc, x, y) != GetPixel(tabPicture.dc, x + 2, y + 2);
    EXPECT_EQ(0, differing);
}
