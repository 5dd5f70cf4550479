#include "DialogShot.h"

#include <objidl.h>
#include <gdiplus.h>

namespace VireoHost {
namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: the PNG encoder of GDI+.
const CLSID PngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// GDI+ for the length of one picture.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool Ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// Adds the window's own pixels at its place relative to the picture's origin. Each
// window's own surface holds what it shows, children included, whenever the display
// last received it.
void AddWindowPixels(HDC picture, const POINT& origin, HWND window)
{
    RECT place{};
    GetWindowRect(window, &place);
    HDC source = GetWindowDC(window);
    BitBlt(picture, place.left - origin.x, place.top - origin.y, place.right - place.left, place.bottom - place.top,
           source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
}

// The window as shown, with the pop-ups that lie over it.
HBITMAP CopyWindowArea(HWND window, const RECT& area, const std::vector<HWND>& overlays)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const POINT origin{area.left, area.top};
    AddWindowPixels(memory, origin, window);
    for (HWND overlay : overlays)
        AddWindowPixels(memory, origin, overlay);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

} // namespace

// Under Wine the desktop window names its display device, whose entry names the
// graphics driver in use; Windows has no such mark and always a display.
bool HasDisplay()
{
    const ATOM device = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(
        GetPropW(GetDesktopWindow(), L"__wine_display_device_guid")));
    wchar_t guid[64] = {};
    if (!device || !GlobalGetAtomNameW(device, guid, 64))
        return true;
    const std::wstring key = L"System\\CurrentControlSet\\Control\\Video\\{" + std::wstring(guid) + L"}\\0000";
    wchar_t driver[MAX_PATH] = {};
    DWORD size = sizeof driver;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"GraphicsDriver", RRF_RT_REG_SZ, nullptr, driver, &size) !=
        ERROR_SUCCESS)
        return true;
    return lstrcmpiW(driver, L"null") != 0;
}

bool SaveWindowPicture(HWND window, const std::vector<HWND>& overlays, const std::wstring& path, std::wstring& error)
{
    RECT area{};
    if (!GetWindowRect(window, &area) || area.right <= area.left || area.bottom <= area.top) {
        error = L"the window has no area";
        return false;
    }
    GdiplusSession gdiplus;
    if (!gdiplus.Ok()) {
        error = L"GDI+ did not start";
        return false;
    }
    HBITMAP bitmap = CopyWindowArea(window, area, overlays);
    Gdiplus::Status status = Gdiplus::GenericError;
    {
        Gdiplus::Bitmap picture(bitmap, nullptr);
        status = picture.Save(path.c_str(), &PngEncoder, nullptr);
    }
    DeleteObject(bitmap);
    if (status != Gdiplus::Ok) {
        error = L"cannot write " + path;
        return false;
    }
    return true;
}

} // namespace VireoHost
