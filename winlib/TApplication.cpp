#include "winlib/TApplication.h"

#include "foundation/ApplicationLanguage.h"
#include "winlib/TModule.h"

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
    return ModuleBaseName(nullptr);
}

int TApplication::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    const HWND main = g_current ? g_current->mainWindow_ : nullptr;
    if (main && IsWindow(main))
        return ::MessageBoxW(GetLastActivePopup(main), text, caption, type);
    return ::MessageBoxW(GetActiveWindow(), text, caption, type | MB_TASKMODAL);
}
