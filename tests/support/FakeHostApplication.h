#pragma once
// A stand-in for the host application service, registered with COM once per test
// process under the host application's class identifier. The module caches the service
// for the process, so every test of a program shares this one object; tests set what
// it answers and read what it was asked.

#include "extension/HostInterfaces.h"

#include <string>
#include <vector>

namespace VireoTest {

class FakeHostApplication : public IHostApplication {
public:
    // The registered object (registered on first call).
    static FakeHostApplication& Get();

    LANGID language = 0;
    HRESULT languageResult = S_OK;
    HWND mainWindow = nullptr;
    std::vector<std::pair<std::wstring, std::wstring>> helpCalls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE GetLanguage(WORD* language) override;
    HRESULT STDMETHODCALLTYPE ShowHelp(LPCWSTR topic, LPCWSTR helpFile) override;
    HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) override;

private:
    FakeHostApplication() = default;
};

} // namespace VireoTest
