#include "HostMenu.h"
#include "Held.h"

namespace VireoHost {
namespace {

// Classes number their commands from their message base up; a class has a few.
constexpr DWORD CommandRange = 0x100;

bool GetInstaller(Held<IKXFMenuInstaller>& installer)
{
    Held<IKXFObjectRegistry> registry;
    return SUCCEEDED(CoGetClassObject(CLSID_KXFFramework, CLSCTX_INPROC_SERVER, nullptr, IID_IKXFObjectRegistry,
                                      reinterpret_cast<void**>(&registry.object))) &&
           SUCCEEDED(registry.object->GetObject(KXFObject_MenuInstaller, IID_IKXFMenuInstaller,
                                                reinterpret_cast<void**>(&installer.object))) &&
           installer.object;
}

std::wstring Take(BSTR text)
{
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

} // namespace

std::vector<MenuCommand> InstalledCommands(DWORD messageBase)
{
    std::vector<MenuCommand> commands;
    Held<IKXFMenuInstaller> installer;
    if (!GetInstaller(installer))
        return commands;
    for (DWORD number = messageBase + 1; number < messageBase + CommandRange; ++number) {
        Held<IKXFCommand> command;
        if (FAILED(installer.object->FindCommand(number, &command.object)) || !command.object)
            continue;
        BSTR text = nullptr;
        BSTR path = nullptr;
        command.object->GetText(&text);
        command.object->GetMenuPath(&path);
        const std::wstring menuPath = Take(path);
        MenuCommand entry;
        entry.number = number;
        entry.menu = menuPath.substr(0, menuPath.find(L'|'));
        entry.text = Take(text);
        commands.push_back(entry);
    }
    return commands;
}

bool FindMenuCommand(DWORD messageBase, const std::wstring& menu, MenuCommand& command)
{
    for (const MenuCommand& candidate : InstalledCommands(messageBase)) {
        if (candidate.menu == menu) {
            command = candidate;
            return true;
        }
    }
    return false;
}

HRESULT ChooseCommand(DWORD number, IUnknown* document)
{
    Held<IKXFMenuInstaller> installer;
    if (!GetInstaller(installer))
        return E_FAIL;
    return installer.object->ExecuteCommand(number, document);
}

bool CommandState(DWORD number, IUnknown* document, bool& enabled, bool& checked)
{
    Held<IKXFMenuInstaller> installer;
    Held<IKXFCommand> command;
    Held<IKXFCommandState> state;
    if (!GetInstaller(installer) || FAILED(installer.object->FindCommand(number, &command.object)) ||
        FAILED(command.object->QueryInterface(IID_IKXFCommandState, reinterpret_cast<void**>(&state.object))) ||
        FAILED(installer.object->UpdateCommand(number, document, state.object)))
        return false;
    WORD enable = 0;
    WORD check = 0;
    DWORD style = 0;
    state.object->GetEnabled(&enable);
    state.object->GetChecked(&check, &style);
    enabled = enable != 0;
    checked = check != 0;
    return true;
}

} // namespace VireoHost
