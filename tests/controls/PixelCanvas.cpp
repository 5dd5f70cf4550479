#include "PixelCanvas.h"

#include <cstring>

namespace VireoTest {

namespace {

BITMAPINFO TopDown(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

PixelCanvas::PixelCanvas(int width, int height, COLORREF fill)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info = TopDown(width, height);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<DWORD*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

PixelCanvas::~PixelCanvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF PixelCanvas::At(int x, int y) const
{
    GdiFlush();
    const DWORD p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

RECT PixelCanvas::BoundsOf(COLORREF colour, const RECT* within) const
{
    const RECT area = within ? *within : RECT{0, 0, width_, height_};
    RECT box{width_, height_, 0, 0};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == colour) {
                box.left = x < box.left ? x : box.left;
                box.top = y < box.top ? y : box.top;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
    return box.right ? box : RECT{0, 0, 0, 0};
}

bool PixelCanvas::SameAs(const PixelCanvas& other) const
{
    GdiFlush();
    return width_ == other.width_ && height_ == other.height_ &&
           std::memcmp(bits_, other.bits_, sizeof(DWORD) * width_ * height_) == 0;
}

HBITMAP MakeBitmap(int width, int height, const DWORD* pixels)
{
    BITMAPINFO info = TopDown(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
        std::memcpy(bits, pixels, sizeof(DWORD) * width * height);
    return bitmap;
}

} // namespace VireoTest
