// The GDI owners delete what they hold once, hand it on when moved, and the selection
// guard puts back what the device context had.

#include "winlib/TGdi.h"

#include <gtest/gtest.h>

#include <utility>

TEST(TGdiObject, DeletesItsObjectOnceAndOnlyThroughItsLastOwner)
{
    // Each makes an owner and answers what it held once the owner is gone.
    using Make = HGDIOBJ (*)();
    const Make makers[] = {
        [] { return static_cast<HGDIOBJ>(TBrush(CreateSolidBrush(RGB(1, 2, 3)))); },
        [] { return static_cast<HGDIOBJ>(TBitmap(CreateBitmap(4, 4, 1, 1, nullptr))); },
        [] {
            LOGFONTW font{};
            font.lfHeight = -12;
            TFontHandle second;
            {
                TFontHandle first(CreateFontIndirectW(&font));
                second = std::move(first);
                EXPECT_EQ(nullptr, first.GetHandle());
            }
            // The emptied owner deleted nothing.
            EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(second));
            return static_cast<HGDIOBJ>(second);
        },
    };
    for (const Make make : makers) {
        const HGDIOBJ gone = make();
        ASSERT_NE(nullptr, gone);
        EXPECT_EQ(0u, GetObjectType(gone));
    }
    TBrush kept(CreateSolidBrush(RGB(4, 5, 6)));
    const HBRUSH replaced = kept;
    kept = TBrush(CreateSolidBrush(RGB(7, 8, 9)));
    EXPECT_EQ(0u, GetObjectType(replaced));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(kept));
}

TEST(TSelection, PutsBackWhatTheDeviceContextHadAndTheMemoryDcGoesWithItsOwner)
{
    TMemoryDC moved(nullptr);
    const TMemoryDC dc(std::move(moved));
    EXPECT_EQ(nullptr, moved.GetHandle());
    const TBitmap first(CreateBitmap(2, 2, 1, 1, nullptr)), second(CreateBitmap(2, 2, 1, 1, nullptr));
    const TSelection outer(dc, first);
    {
        const TSelection inner(dc, second);
        EXPECT_TRUE(inner.Selected());
        EXPECT_EQ(second.GetHandle(), GetCurrentObject(dc, OBJ_BITMAP));
        // A bitmap is in one device context at a time: a second selection fails and puts nothing back.
        const TMemoryDC other(nullptr);
        const TSelection refused(other, second);
        EXPECT_FALSE(refused.Selected());
    }
    EXPECT_EQ(first.GetHandle(), GetCurrentObject(dc, OBJ_BITMAP));
    HDC gone = nullptr;
    {
        const TMemoryDC owned(nullptr);
        gone = owned;
    }
    EXPECT_EQ(0u, GetObjectType(gone));
}
