// Size and place of the hint pop-up on the work area.

#include "controls/PopupPlacement.h"

#include <gtest/gtest.h>

using namespace QLX;

TEST(PopupPlacement, StaysInsideTheWorkAreaNearRightAndBottomEdges)
{
    const RECT work{0, 0, 1024, 768};
    const SIZE size{100, 20};
    struct Case {
        POINT anchor;
        POINT expected;
    } cases[] = {{{200, 300}, {200, 300}},                            // room everywhere
                 {{1000, 300}, {914, 300}},                           // 10 pixels from the right edge
                 {{914, 300}, {914, 300}},  {{200, 760}, {200, 737}}, // above the anchor
                 {{200, 748}, {200, 748}},                            // just fits
                 {{200, 785}, {200, 748}},                            // above it would still pass the bottom
                 {{1020, 760}, {914, 737}}};                          // both
    for (const Case& c : cases) {
        const RECT placed = PlacePopup(c.anchor, size, work);
        EXPECT_EQ(c.expected.x, placed.left) << c.anchor.x << "," << c.anchor.y;
        EXPECT_EQ(c.expected.y, placed.top) << c.anchor.x << "," << c.anchor.y;
        EXPECT_EQ(100, placed.right - placed.left);
        EXPECT_EQ(20, placed.bottom - placed.top);
    }
}

TEST(PopupPlacement, SizeIsTheWrappedTextPlusFiveByTwo)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE line{};
    GetTextExtentPoint32W(dc, L"Get dialog help", 15, &line);
    SelectObject(dc, old);
    const SIZE shortHint = PopupSizeFor(dc, nullptr, L"Get dialog help");
    EXPECT_EQ(line.cx + 5, shortHint.cx);
    EXPECT_EQ(line.cy + 2, shortHint.cy);
    std::wstring longHint;
    for (int i = 0; i < 30; ++i)
        longHint += L"word ";
    const SIZE wrapped = PopupSizeFor(dc, nullptr, longHint);
    EXPECT_LE(wrapped.cx, 305);
    EXPECT_GE(wrapped.cy, 2 * line.cy + 2);
    DeleteDC(dc);
}
