#include "HostServices.h"
#include "HostString.h"

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

namespace {

TestOutcome RunOne(IUnitTest* test, LONG index)
{
    TestOutcome outcome{L"", false, L""};
    IQLXString* name = nullptr;
    if (SUCCEEDED(test->GetTestName(index, &name)) && name)
        outcome.name = TakeText(name);
    try {
        test->RunTest(index);
        VARIANT_BOOL passed = VARIANT_FALSE;
        IQLXString* message = nullptr;
        if (SUCCEEDED(test->GetResult(&passed, &message))) {
            outcome.passed = passed != 0;
            if (message)
                outcome.message = TakeText(message);
        }
    } catch (...) {
        outcome.passed = false;
        outcome.message = L"the test raised an exception";
    }
    return outcome;
}

} // namespace

std::vector<TestOutcome> RunTests(IUnitTestRunner* runner)
{
    std::vector<TestOutcome> outcomes;
    ULONG tests = 0;
    if (!runner || FAILED(runner->GetTestCount(&tests)))
        return outcomes;
    for (ULONG t = 0; t < tests; ++t) {
        IUnitTest* test = nullptr;
        if (FAILED(runner->GetTest(t, &test)) || !test)
            continue;
        LONG count = 0;
        if (FAILED(test->GetTestCount(&count)))
            count = 0;
        for (LONG i = 0; i < count; ++i)
            outcomes.push_back(RunOne(test, i));
        test->Release();
    }
    return outcomes;
}

} // namespace VireoHost
