#pragma once
// A memory bitmap to paint into and read back pixel by pixel.

#include <windows.h>

namespace VireoTest {

class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF fill);
    ~PixelCanvas();
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // The bounding box of pixels of colour (inside within, when given); empty when none.
    RECT BoundsOf(COLORREF colour, const RECT* within = nullptr) const;
    bool SameAs(const PixelCanvas& other) const;

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

// A 32-bit top-down bitmap of width x height from BGRA words, row by row.
HBITMAP MakeBitmap(int width, int height, const DWORD* pixels);

} // namespace VireoTest
