#include "FakeHost.h"

#include "extension/HostInterfaces.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace VireoTest {

namespace {

int g_visibleQueries = 0;

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
    HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) override { return *store = this, S_OK; }
    HRESULT STDMETHODCALLTYPE GetBool(LPCWSTR key, VARIANT_BOOL* value) override
    {
        if (lstrcmpiW(key, L"qlx\\application\\visible") != 0)
            return E_INVALIDARG;
        ++g_visibleQueries;
        const char* setting = std::getenv("VIREO_TEST_APPLICATION_VISIBLE");
        *value = setting && setting[0] == '0' ? VARIANT_FALSE : VARIANT_TRUE;
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
    }
    // The module keeps the service for the life of the process, so it stays registered.

private:
    SettingsHost host_;
    DWORD cookie_ = 0;
};

testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new FakeHostEnvironment);

} // namespace

int VisibleQueries()
{
    return g_visibleQueries;
}

unsigned long RunSelf(const std::wstring& filter, const wchar_t* variable, const wchar_t* value, std::string& output)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=" + filter;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return ~0ul;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableW(variable, value);
    const BOOL started =
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(variable, nullptr);
    CloseHandle(writeEnd);
    DWORD exitCode = ~0ul;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return exitCode;
}

} // namespace VireoTest
