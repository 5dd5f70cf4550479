#pragma once
// A strip of equally sized pictures ("cels") held side by side in one bitmap, as glyph
// buttons keep their normal, pushed and disabled pictures.

#include "winlib/TGdi.h"

#include <windows.h>

#include <memory>

class TCelArray {
public:
    // Takes ownership of bitmap; each cel is the bitmap's width divided by celCount.
    TCelArray(HBITMAP bitmap, int celCount);
    TCelArray(const TCelArray&) = delete;
    TCelArray& operator=(const TCelArray&) = delete;

    // The bitmap resource id of module split into celCount cels; null when it cannot be loaded.
    static std::unique_ptr<TCelArray> FromResource(HINSTANCE module, int id, int celCount = 1);

    int NumCels() const { return count_; }
    SIZE CelSize() const { return celSize_; }
    // The cel's rectangle inside the bitmap.
    RECT CelRect(int cel) const;
    HBITMAP Bitmap() const { return bitmap_.GetHandle(); }
    // The colour of one pixel of a cel; CLR_INVALID outside it.
    COLORREF PixelAt(int cel, int x, int y) const;

    // Copies a cel to dc with its top-left corner at (x, y).
    bool Draw(HDC dc, int cel, int x, int y) const;
    // The same, leaving dc untouched where the cel has the colour transparent.
    bool DrawTransparent(HDC dc, int cel, int x, int y, COLORREF transparent) const;

private:
    bool ValidCel(int cel) const { return cel >= 0 && cel < count_; }

    TBitmap bitmap_;
    int count_;
    SIZE celSize_{0, 0};
};
