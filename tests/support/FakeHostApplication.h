#pragma once
// A stand-in for the host application service, registered with COM once per test
// process under the host application's class identifier, and its settings store. The
// module caches the service for the process, so every test of a program shares this one
// object; tests set what it answers and read what it was asked. It counts its references
// but never deletes itself.

#include "hostapi/HostInterfaces.h"

#include <string>
#include <vector>

namespace VireoTest {

class FakeHostApplication : public IHostApplication, public IHostSettingsStore {
public:
    // The registered object (registered on first call).
    static FakeHostApplication& Get();

    LANGID language = 0;
    HRESULT languageResult = S_OK;
    HWND mainWindow = nullptr;
    std::vector<std::pair<std::wstring, std::wstring>> helpCalls;
    // What the store answers for "qlx\application\visible", and how often it was fetched.
    bool hintsVisible = true;
    int storeFetches = 0;
    LONG refs = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&refs)); }
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE GetLanguage(WORD* language) override;
    HRESULT STDMETHODCALLTYPE ShowHelp(LPCWSTR topic, LPCWSTR helpFile) override;
    HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) override;
    HRESULT STDMETHODCALLTYPE GetBool(LPCWSTR key, VARIANT_BOOL* value) override;

private:
    FakeHostApplication() = default;
};

} // namespace VireoTest
