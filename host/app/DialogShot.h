#pragma once
// Pictures of windows as shown on the display, written as PNG files.

#include <windows.h>

#include <string>

namespace VireoHost {

// False under a graphics driver that shows nothing (Wine's null driver).
bool HasDisplay();
// Copies the window's screen area into a PNG file; false with a reason.
bool SaveWindowPicture(HWND window, const std::wstring& path, std::wstring& error);

} // namespace VireoHost
