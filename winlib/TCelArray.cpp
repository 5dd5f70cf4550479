#include "winlib/TCelArray.h"

namespace {

// A memory DC with one bitmap selected, restored and deleted on scope exit.
class SelectedBitmap {
public:
    // The DC is compatible with the screen.
    explicit SelectedBitmap(HBITMAP bitmap) : dc_(nullptr), selection_(dc_, bitmap) {}

    HDC Dc() const { return selection_.Selected() ? dc_.GetHandle() : nullptr; }

private:
    TMemoryDC dc_;
    TSelection selection_;
};

} // namespace

TCelArray::TCelArray(HBITMAP bitmap, int celCount) : bitmap_(bitmap), count_(celCount > 0 ? celCount : 1)
{
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_, sizeof info, &info))
        celSize_ = {info.bmWidth / count_, info.bmHeight};
}

std::unique_ptr<TCelArray> TCelArray::FromResource(HINSTANCE module, int id, int celCount)
{
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return nullptr;
    return std::make_unique<TCelArray>(bitmap, celCount);
}

RECT TCelArray::CelRect(int cel) const
{
    return {cel * celSize_.cx, 0, (cel + 1) * celSize_.cx, celSize_.cy};
}

COLORREF TCelArray::PixelAt(int cel, int x, int y) const
{
    if (!ValidCel(cel) || x < 0 || y < 0 || x >= celSize_.cx || y >= celSize_.cy)
        return CLR_INVALID;
    SelectedBitmap source(bitmap_);
    return source.Dc() ? GetPixel(source.Dc(), CelRect(cel).left + x, y) : CLR_INVALID;
}

bool TCelArray::Draw(HDC dc, int cel, int x, int y) const
{
    SelectedBitmap source(bitmap_);
    if (!ValidCel(cel) || !source.Dc())
        return false;
    return BitBlt(dc, x, y, celSize_.cx, celSize_.cy, source.Dc(), CelRect(cel).left, 0, SRCCOPY) != FALSE;
}

bool TCelArray::DrawTransparent(HDC dc, int cel, int x, int y, COLORREF transparent) const
{
    SelectedBitmap source(bitmap_);
    if (!ValidCel(cel) || !source.Dc())
        return false;
    const int w = celSize_.cx, h = celSize_.cy, left = CelRect(cel).left;
    // A monochrome mask: 1 where the cel has the transparent colour.
    const TBitmap maskBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    const SelectedBitmap mask(maskBitmap);
    if (!mask.Dc())
        return false;
    const COLORREF oldSourceBk = SetBkColor(source.Dc(), transparent);
    BitBlt(mask.Dc(), 0, 0, w, h, source.Dc(), left, 0, SRCCOPY);
    SetBkColor(source.Dc(), oldSourceBk);
    // dst ^ src, cleared where opaque, ^ src: the source where opaque, dst elsewhere.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const bool done = BitBlt(dc, x, y, w, h, source.Dc(), left, 0, SRCINVERT) &&
                      BitBlt(dc, x, y, w, h, mask.Dc(), 0, 0, SRCAND) &&
                      BitBlt(dc, x, y, w, h, source.Dc(), left, 0, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    return done;
}
