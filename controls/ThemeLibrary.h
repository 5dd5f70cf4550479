#pragma once
// The visual-style functions of "UxTheme.dll", looked up at run time so that the module
// also runs where the library or a function is missing; then there is simply no theme.

#include <windows.h>

namespace QLX {

using ThemeHandle = HANDLE;

// Push-button part and its states as the theme numbers them.
enum ThemeButton { ThemePushButton = 1 };
enum ThemeButtonState { ThemeNormal = 1, ThemeHot = 2, ThemePressed = 3, ThemeDisabled = 4, ThemeDefaulted = 5 };

class ThemeLibrary {
public:
    // Loaded on first use and kept until Unload.
    static const ThemeLibrary& Instance();
    // Frees the library when the module unloads; later there is no theme.
    static void Unload();

    // The theme data for a class list on window; null when no theme is in use.
    ThemeHandle Open(HWND window, const wchar_t* classList) const;
    void Close(ThemeHandle theme) const;
    bool DrawBackground(ThemeHandle theme, HDC dc, int part, int state, const RECT& rect) const;
    bool DrawParentBackground(HWND window, HDC dc, const RECT& rect) const;
    // Whether the application is drawn with visual styles.
    bool IsAppThemed() const;

private:
    ThemeLibrary();
    ThemeLibrary(const ThemeLibrary&) = delete;
    ThemeLibrary& operator=(const ThemeLibrary&) = delete;

    HMODULE library_ = nullptr;

    using OpenFn = ThemeHandle(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(ThemeHandle);
    using DrawFn = HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const RECT*, const RECT*);
    using ParentFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using ThemedFn = BOOL(WINAPI*)();

    OpenFn open_ = nullptr;
    CloseFn close_ = nullptr;
    DrawFn draw_ = nullptr;
    ParentFn parent_ = nullptr;
    ThemedFn themed_ = nullptr;
};

} // namespace QLX
