#pragma once
// Owners of GDI objects and device contexts, and a guard for what a device context has
// selected, so that every way out of a paint routine gives them back.

#include <windows.h>

#include <utility>

// Owns a handle and hands it to Delete when it goes. Move-only; a default one holds none.
template <class Handle, class Delete>
class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(Handle handle) : handle_(handle) {}
    ~TOwnedHandle()
    {
        if (handle_)
            Delete()(handle_);
    }
    TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept
    {
        TOwnedHandle gone(std::move(*this));
        handle_ = std::exchange(other.handle_, nullptr);
        return *this;
    }
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;

    Handle GetHandle() const { return handle_; }
    operator Handle() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

struct TDeleteObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct TDeleteDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

// A brush, pen, bitmap, region or font, deleted when its owner goes.
template <class Handle>
using TGdiObject = TOwnedHandle<Handle, TDeleteObject>;

using TBrush = TGdiObject<HBRUSH>;
using TBitmap = TGdiObject<HBITMAP>;
using TFontHandle = TGdiObject<HFONT>;

// A window's device context (the screen's for a null window), released when it goes.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context, deleted when it goes.
class TMemoryDC : public TOwnedHandle<HDC, TDeleteDC> {
public:
    TMemoryDC() = default;
    // Compatible with dc; with a null dc, with the screen.
    explicit TMemoryDC(HDC dc) : TOwnedHandle(CreateCompatibleDC(dc)) {}
};

// The device context of a WM_PAINT: BeginPaint now, EndPaint when it goes.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~TPaintDC() { EndPaint(window_, &paint_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context and puts the one it replaced back when it goes.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~TSelection()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

    // False when the object could not be selected.
    bool Selected() const { return old_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ old_;
};
