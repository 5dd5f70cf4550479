#pragma once
// Owners of GDI objects and device contexts, and a guard for what a device context has
// selected, so that every way out of a paint routine gives them back.

#include <windows.h>

#include <utility>

// A brush, pen, bitmap, region or font, deleted when its owner goes. Move-only.
template <class Handle>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(Handle handle) : handle_(handle) {}
    ~TGdiObject()
    {
        if (handle_)
            DeleteObject(handle_);
    }
    TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept
    {
        TGdiObject gone(std::move(*this));
        handle_ = std::exchange(other.handle_, nullptr);
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    Handle GetHandle() const { return handle_; }
    operator Handle() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

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

// A memory device context, deleted when it goes. Move-only; a default one holds none.
class TMemoryDC {
public:
    TMemoryDC() = default;
    // Compatible with dc; with a null dc, with the screen.
    explicit TMemoryDC(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~TMemoryDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    TMemoryDC(TMemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    TMemoryDC& operator=(TMemoryDC&& other) noexcept
    {
        TMemoryDC gone(std::move(*this));
        dc_ = std::exchange(other.dc_, nullptr);
        return *this;
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;

    operator HDC() const { return dc_; }

private:
    HDC dc_ = nullptr;
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
