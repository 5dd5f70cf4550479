#pragma once
// The host application's own services as the module finds them through COM (main
// window, language, help, settings), and the host's run of the registered tests.

#include "host/HostControl.h"

#include <functional>
#include <string>
#include <vector>

namespace VireoHost {

// Lives for the whole run; references are not counted.
class HostApplication : public IHostApplication, public IHostSettingsStore {
public:
    explicit HostApplication(HWND mainWindow) : mainWindow_(mainWindow) {}
    virtual ~HostApplication() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE GetLanguage(WORD* language) override;
    // Help requests are logged on standard error.
    HRESULT STDMETHODCALLTYPE ShowHelp(LPCWSTR topic, LPCWSTR helpFile) override;
    HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) override;
    HRESULT STDMETHODCALLTYPE GetBool(LPCWSTR key, VARIANT_BOOL* value) override;
    // The answer for "qlx\\application\\visible" (true until set).
    void SetApplicationVisible(bool visible) { applicationVisible_ = visible; }

private:
    HWND mainWindow_;
    bool applicationVisible_ = true;
};

// The result of one test function of a registered unit test.
struct TestOutcome {
    std::wstring name;
    bool passed;
    std::wstring message;
};

// Runs every test function of every test kept by the framework's registry, one by one,
// so each result can be reported by name; a test that throws counts as failed.
std::vector<TestOutcome> RunTests(IUnitTestRunner* runner);

} // namespace VireoHost
