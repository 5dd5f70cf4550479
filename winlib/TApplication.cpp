#include "winlib/TApplication.h"

#include "winlib/TApplicationLanguage.h"

namespace {
TApplication* g_current = nullptr;
}

TApplication::TApplication(const wchar_t* name, HINSTANCE instance, LANGID language)
    : TModule(name, instance, false), previous_(g_current)
{
    g_current = this;
    SetLanguage(language);
}

TApplication::~TApplication()
{
    g_current = previous_;
    SetTApplicationLanguage(previous_ ? previous_->GetLanguage() : 0);
}

TApplication* TApplication::Current()
{
    return g_current;
}

void TApplication::SetLanguage(LANGID language)
{
    TModule::SetLanguage(language);
    if (g_current == this)
        SetTApplicationLanguage(language);
}

std::wstring TApplication::Name()
{
    if (g_current)
        return g_current->GetName();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    const auto slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

int TApplication::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    const HWND main = g_current ? g_current->mainWindow_ : nullptr;
    if (main && IsWindow(main))
        return ::MessageBoxW(GetLastActivePopup(main), text, caption, type);
    return ::MessageBoxW(GetActiveWindow(), text, caption, type | MB_TASKMODAL);
}
