#include "controls/ThemeLibrary.h"

#include <versionhelpers.h>

#include <atomic>
#include <utility>

namespace QLX {

namespace {

template <class Fn>
Fn Lookup(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// Set once the library has been looked for, so that unloading never loads it.
std::atomic<ThemeLibrary*> g_looked{nullptr};

} // namespace

const ThemeLibrary& ThemeLibrary::Instance()
{
    static ThemeLibrary library;
    g_looked.store(&library);
    return library;
}

void ThemeLibrary::Unload()
{
    ThemeLibrary* library = g_looked.exchange(nullptr);
    if (!library || !library->library_)
        return;
    library->open_ = nullptr;
    library->close_ = nullptr;
    library->draw_ = nullptr;
    library->parent_ = nullptr;
    library->themed_ = nullptr;
    FreeLibrary(std::exchange(library->library_, nullptr));
}

ThemeLibrary::ThemeLibrary()
{
    // Visual styles exist from Windows XP (NT 5.1) on.
    if (!IsWindowsXPOrGreater())
        return;
    library_ = LoadLibraryW(L"UxTheme.dll");
    open_ = Lookup<OpenFn>(library_, "OpenThemeData");
    close_ = Lookup<CloseFn>(library_, "CloseThemeData");
    draw_ = Lookup<DrawFn>(library_, "DrawThemeBackground");
    parent_ = Lookup<ParentFn>(library_, "DrawThemeParentBackground");
    themed_ = Lookup<ThemedFn>(library_, "IsAppThemed");
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
