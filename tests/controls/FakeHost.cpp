#include "FakeHost.h"

#include "extension/FrameworkHostUi.h"
#include "hostapi/HostInterfaces.h"

#include <gtest/gtest.h>

namespace VireoTest {

namespace {

bool g_visible = true;
int g_storeFetches = 0;

class SettingsHost : public IHostApplication, public IHostSettingsStore {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostApplication))
            *object = static_cast<IHostApplication*>(this);
        else if (IsEqualIID(iid, IID_IHostSettingsStore))
            *object = static_cast<IHostSettingsStore*>(this);
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override { return *window = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE GetLanguage(WORD* language) override
    {
        return *language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowHelp(LPCWSTR, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) override
    {
        ++g_storeFetches;
        return *store = this, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBool(LPCWSTR key, VARIANT_BOOL* value) override
    {
        if (lstrcmpiW(key, L"qlx\\application\\visible") != 0)
            return E_INVALIDARG;
        *value = g_visible ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
};

class FakeHostEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CoRegisterClassObject(CLSID_HostApplication, static_cast<IHostApplication*>(&host_), CLSCTX_INPROC_SERVER,
                              REGCLS_MULTIPLEUSE, &cookie_);
        // The controls ask the host through the answers the module installs at registration.
        OnlineEvents::InstallFrameworkHostUi();
    }
    // The module keeps the service for the life of the process, so it stays registered.

private:
    SettingsHost host_;
    DWORD cookie_ = 0;
};

testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new FakeHostEnvironment);

} // namespace

void SetApplicationVisible(bool visible)
{
    g_visible = visible;
}

int StoreFetches()
{
    return g_storeFetches;
}

} // namespace VireoTest
