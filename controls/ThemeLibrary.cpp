#include "controls/ThemeLibrary.h"

#include <versionhelpers.h>

namespace QLX {

namespace {

template <class Fn>
Fn Lookup(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

} // namespace

const ThemeLibrary& ThemeLibrary::Instance()
{
    static const ThemeLibrary library;
    return library;
}

ThemeLibrary::ThemeLibrary()
{
    // Visual styles exist from Windows XP (NT 5.1) on.
    if (!IsWindowsXPOrGreater())
        return;
    HMODULE library = LoadLibraryW(L"UxTheme.dll");
    open_ = Lookup<OpenFn>(library, "OpenThemeData");
    close_ = Lookup<CloseFn>(library, "CloseThemeData");
    draw_ = Lookup<DrawFn>(library, "DrawThemeBackground");
    parent_ = Lookup<ParentFn>(library, "DrawThemeParentBackground");
    themed_ = Lookup<ThemedFn>(library, "IsAppThemed");
}

ThemeHandle ThemeLibrary::Open(HWND window, const wchar_t* classList) const
{
    return open_ && close_ && draw_ ? open_(window, classList) : nullptr;
}

void ThemeLibrary::Close(ThemeHandle theme) const
{
    if (theme && close_)
        close_(theme);
}

bool ThemeLibrary::DrawBackground(ThemeHandle theme, HDC dc, int part, int state, const RECT& rect) const
{
    return theme && draw_ && SUCCEEDED(draw_(theme, dc, part, state, &rect, nullptr));
}

bool ThemeLibrary::DrawParentBackground(HWND window, HDC dc, const RECT& rect) const
{
    return parent_ && SUCCEEDED(parent_(window, dc, &rect));
}

bool ThemeLibrary::IsAppThemed() const
{
    return themed_ && themed_();
}

} // namespace QLX
