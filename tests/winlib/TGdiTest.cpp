// The GDI owners delete what they hold once, hand it on when moved, and the selection
// guard puts back what the device context had.

#include "winlib/TGdi.h"

#include <gtest/gtest.h>

#include <utility>

TEST(TOwnedHandle, DeletesOnlyThroughItsLastOwnerAndWhenReplaced)
{
    TBrush kept;
    HBRUSH first = nullptr;
    {
        TBrush made(CreateSolidBrush(RGB(1, 2, 3)));
        first = made;
        kept = std::move(made);
        EXPECT_EQ(nullptr, made.GetHandle());
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(first));
    kept = TBrush(CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(0u, GetObjectType(first));
    HDC gone = nullptr;
    {
        const TMemoryDC dc(nullptr);
        gone = dc;
    }
    EXPECT_EQ(0u, GetObjectType(gone));
}

TEST(TSelection, PutsBackWhatTheDeviceContextHad)
{
    const TMemoryDC dc(nullptr), other(nullptr);
    const TBitmap first(CreateBitmap(2, 2, 1, 1, nullptr)), second(CreateBitmap(2, 2, 1, 1, nullptr));
    const TSelection outer(dc, first);
    {
        const TSelection inner(dc, second);
        EXPECT_EQ(second.GetHandle(), GetCurrentObject(dc, OBJ_BITMAP));
        // A bitmap is in one device context at a time: this selection fails and puts nothing back.
        EXPECT_FALSE(TSelection(other, second).Selected());
    }
    EXPECT_EQ(first.GetHandle(), GetCurrentObject(dc, OBJ_BITMAP));
}
