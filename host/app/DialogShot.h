#pragma once
// Pictures of windows as shown on the display, written as PNG files.

#include <windows.h>

#include <string>
#include <vector>

namespace VireoHost {

// False under a graphics driver that shows nothing (Wine's null driver).
bool HasDisplay();
// Writes the window as shown, with the given pop-ups over it, to a PNG file; false
// with a reason.
bool SaveWindowPicture(HWND window, const std::vector<HWND>& overlays, const std::wstring& path,
                       std::wstring& error);

} // namespace VireoHost
