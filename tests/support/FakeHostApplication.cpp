#include "FakeHostApplication.h"

namespace VireoTest {

FakeHostApplication& FakeHostApplication::Get()
{
    static FakeHostApplication* host = [] {
        // Lives for the process: the module keeps the service pointer without a reference.
        auto* made = new FakeHostApplication;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        DWORD cookie = 0;
        CoRegisterClassObject(CLSID_HostApplication, static_cast<IHostApplication*>(made), CLSCTX_INPROC_SERVER,
                              REGCLS_MULTIPLEUSE, &cookie);
        return made;
    }();
    return *host;
}

HRESULT FakeHostApplication::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostApplication))
        *object = static_cast<IHostApplication*>(this);
    else if (IsEqualIID(iid, IID_IHostSettingsStore))
        *object = static_cast<IHostSettingsStore*>(this);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT FakeHostApplication::GetMainWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = mainWindow;
    return S_OK;
}

HRESULT FakeHostApplication::GetLanguage(WORD* result)
{
    if (!result)
        return E_POINTER;
    *result = language;
    return languageResult;
}

HRESULT FakeHostApplication::ShowHelp(LPCWSTR topic, LPCWSTR helpFile)
{
    helpCalls.emplace_back(topic ? topic : L"", helpFile ? helpFile : L"");
    return S_OK;
}

HRESULT FakeHostApplication::GetSettingsStore(IHostSettingsStore** store)
{
    if (!store)
        return E_POINTER;
    ++storeFetches;
    *store = this;
    AddRef();
    return S_OK;
}

HRESULT FakeHostApplication::GetBool(LPCWSTR key, VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    if (!key || lstrcmpiW(key, L"qlx\\application\\visible") != 0)
        return E_INVALIDARG;
    *value = hintsVisible ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace VireoTest
