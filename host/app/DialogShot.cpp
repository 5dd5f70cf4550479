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

// The screen's pixels under the window, as they are shown.
HBITMAP CopyScreenArea(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
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

bool SaveWindowPicture(HWND window, const std::wstring& path, std::wstring& error)
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
    HBITMAP bitmap = CopyScreenArea(area);
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
