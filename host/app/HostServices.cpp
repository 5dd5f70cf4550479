#include "HostServices.h"

#include <cstdio>

namespace VireoHost {

HRESULT HostApplication::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostApplication))
        *object = static_cast<IHostApplication*>(this);
    else if (IsEqualIID(iid, IID_IHostSettingsStore))
        *object = static_cast<IHostSettingsStore*>(this);
    else
        return E_NOINTERFACE;
    return S_OK;
}

HRESULT HostApplication::GetMainWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = mainWindow_;
    return S_OK;
}

HRESULT HostApplication::GetLanguage(WORD* language)
{
    if (!language)
        return E_POINTER;
    *language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    return S_OK;
}

HRESULT HostApplication::ShowHelp(LPCWSTR topic, LPCWSTR helpFile)
{
    std::fwprintf(stderr, L"Help: %ls %ls\n", topic ? topic : L"", helpFile ? helpFile : L"");
    std::fflush(stderr);
    return S_OK;
}

HRESULT HostApplication::GetSettingsStore(IHostSettingsStore** store)
{
    if (!store)
        return E_POINTER;
    *store = static_cast<IHostSettingsStore*>(this);
    return S_OK;
}

HRESULT HostApplication::GetBool(LPCWSTR key, VARIANT_BOOL* value)
{
    if (!key || !value)
        return E_POINTER;
    const bool visible = lstrcmpiW(key, L"qlx\\application\\visible") == 0 && applicationVisible_;
    *value = visible ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT HostTestRegistry::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IUnitTestRegistry)) {
        *object = static_cast<IUnitTestRegistry*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT HostTestRegistry::AddTest(IUnknown* test)
{
    if (!test)
        return E_POINTER;
    IUnitTest* unitTest = nullptr;
    if (FAILED(test->QueryInterface(IID_IUnitTest, reinterpret_cast<void**>(&unitTest))) || !unitTest)
        return E_NOINTERFACE;
    HRESULT hr = E_FAIL;
    try {
        hr = unitTest->Initialise(nullptr, nullptr, nullptr);
    } catch (...) {
        hr = E_FAIL;
    }
    if (FAILED(hr)) {
        unitTest->Release();
        return hr;
    }
    tests_.push_back(unitTest);
    return S_OK;
}

HRESULT HostTestRegistry::GetTestCount(ULONG* count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<ULONG>(tests_.size());
    return S_OK;
}

std::vector<TestOutcome> HostTestRegistry::Run()
{
    std::vector<TestOutcome> outcomes;
    for (IUnitTest* test : tests_) {
        LONG count = 0;
        if (FAILED(test->GetTestCount(&count)))
            count = 0;
        for (LONG i = 0; i < count; ++i) {
            TestOutcome outcome{L"", false, L""};
            IQLXString* name = nullptr;
            if (SUCCEEDED(test->GetTestName(i, &name)) && name)
                outcome.name = QLXString::Attach(name).c_str();
            try {
                test->RunTest(i);
                VARIANT_BOOL passed = VARIANT_FALSE;
                IQLXString* message = nullptr;
                if (SUCCEEDED(test->GetResult(&passed, &message))) {
                    outcome.passed = passed != 0;
                    if (message)
                        outcome.message = QLXString::Attach(message).c_str();
                }
            } catch (...) {
                outcome.passed = false;
                outcome.message = L"the test raised an exception";
            }
            outcomes.push_back(outcome);
        }
    }
    return outcomes;
}

HRESULT HostTestRegistry::RunAll(ULONG* passed, ULONG* failed)
{
    if (!passed || !failed)
        return E_POINTER;
    *passed = *failed = 0;
    for (const TestOutcome& outcome : Run())
        ++(outcome.passed ? *passed : *failed);
    return S_OK;
}

HRESULT HostTestRegistry::Clear()
{
    for (auto it = tests_.rbegin(); it != tests_.rend(); ++it)
        (*it)->Release();
    tests_.clear();
    return S_OK;
}

} // namespace VireoHost
