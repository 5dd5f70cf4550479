#pragma once
// The host's side of the framework's menu installer: which commands a document class
// installed, and choosing one for a document as the host's menu does.

#include "hostapi/HostInterfaces.h"

#include <string>
#include <vector>

namespace VireoHost {

struct MenuCommand {
    DWORD number = 0;
    // The menu it belongs in ("Setup") and the item's text as the command gives it.
    std::wstring menu;
    std::wstring text;
};

// The installed commands numbered after the class's message base, in number order.
std::vector<MenuCommand> InstalledCommands(DWORD messageBase);
// The first command of the named menu; false when the class installed none there.
bool FindMenuCommand(DWORD messageBase, const std::wstring& menu, MenuCommand& command);
// The installer's answer to choosing the command for the document.
HRESULT ChooseCommand(DWORD number, IUnknown* document);
// Asks the document (then its class) for the command's state.
bool CommandState(DWORD number, IUnknown* document, bool& enabled, bool& checked);

} // namespace VireoHost
