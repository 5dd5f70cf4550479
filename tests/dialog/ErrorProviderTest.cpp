// The error provider pop-up: shown below its field without taking the focus, and
// painted as a pale box with dark text.

#include "dialog/ErrorProvider.h"

#include <gtest/gtest.h>

TEST(ErrorProvider, ShowsBelowItsAnchorWithoutTakingTheFocusAndHides)
{
    TWindow owner(static_cast<TWindow*>(nullptr), L"owner");
    owner.Attr().style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    owner.Attr().x = owner.Attr().y = 50;
    owner.Attr().width = 300;
    owner.Attr().height = 200;
    owner.Create();
    SetFocus(owner.GetHandle());
    QLXControls::ErrorProvider provider(owner.GetHandle());
    provider.SetTitle(L"Value out of range");
    provider.SetMessage(L"Enter a value from 0 to 60.");
    EXPECT_FALSE(provider.IsShown());
    provider.Show(owner.GetHandle());
    EXPECT_TRUE(provider.IsShown());
    EXPECT_EQ(owner.GetHandle(), GetFocus());
    const RECT anchor = owner.GetWindowRect();
    const RECT shown = provider.GetWindowRect();
    EXPECT_EQ(anchor.left, shown.left);
    EXPECT_EQ(anchor.bottom + 2, shown.top);
    const SIZE text = provider.MeasureText();
    EXPECT_GE(shown.right - shown.left, text.cx);
    EXPECT_GE(shown.bottom - shown.top, text.cy);
    provider.Hide();
    EXPECT_FALSE(provider.IsShown());
}

TEST(ErrorProvider, PaintsAPaleBackgroundWithDarkText)
{
    QLXControls::ErrorProvider provider;
    provider.SetTitle(L"Value out of range");
    provider.SetMessage(L"Enter a value from 0 to 60.");
    const SIZE text = provider.MeasureText();
    const RECT client{0, 0, text.cx + 8, text.cy + 8};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    provider.Paint(dc, client);
    EXPECT_EQ(RGB(255, 255, 225), GetPixel(dc, 0, 0));
    int dark = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if (GetPixel(dc, x, y) == RGB(0, 0, 0))
                ++dark;
    EXPECT_GT(dark, 20);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
