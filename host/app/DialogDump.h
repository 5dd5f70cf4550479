#pragma once
// Finds the setup dialog, its panes and controls with plain window calls, and
// describes their state as the dump action prints it.

#include "SetupScript.h"

#include <windows.h>

#include <string>
#include <vector>

namespace VireoHost {

// The setup dialog of this thread, or null: a shown dialog window that is not a
// message box and is owned by the main window (any owner when that is null).
HWND FindSetupDialog(HWND mainWindow);
// The pane window of the dialog, or null; Pane::Dialog gives the dialog.
HWND FindPane(HWND dialog, Pane pane);
HWND FindControl(HWND dialog, Pane pane, int id);

// How the dump names a control's kind: static, button, check, list, edit, slider, updown, tab.
std::wstring ControlKind(HWND control);
// The dump's lines for the dialog: caption, size, tabs, one line per control, the hint.
std::vector<std::wstring> DumpDialog(HWND dialog);
// The shown hint pop-up of this thread, or null.
HWND FindHintWindow(HWND dialog);

std::wstring WindowTextOf(HWND window);

} // namespace VireoHost
