// Unit-test registry.

#include "host/kxf/UnitTestRegistry.h"

namespace Kxf {

HRESULT STDMETHODCALLTYPE UnitTestRegistry::AddTest(IUnknown* test)
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
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        tests_.push_back(unitTest);
    } catch (...) {
        unitTest->Release();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UnitTestRegistry::GetTestCount(ULONG* count)
{
    if (!count)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *count = static_cast<ULONG>(tests_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UnitTestRegistry::GetTest(ULONG index, IUnitTest** test)
{
    if (!test)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *test = index < tests_.size() ? tests_[index] : nullptr;
    if (!*test)
        return E_INVALIDARG;
    (*test)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UnitTestRegistry::RunAll(ULONG* passed, ULONG* failed)
{
    if (!passed || !failed)
        return E_POINTER;
    *passed = *failed = 0;
    std::vector<IUnitTest*> tests;
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        tests = tests_;
        for (IUnitTest* test : tests)
            test->AddRef();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    for (IUnitTest* test : tests) {
        LONG count = 0;
        if (FAILED(test->GetTestCount(&count)))
            count = 0;
        for (LONG i = 0; i < count; ++i)
            (RunOne(test, i) ? *passed : *failed) += 1;
        test->Release();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UnitTestRegistry::Clear()
{
    std::vector<IUnitTest*> tests;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tests.swap(tests_);
    }
    for (auto it = tests.rbegin(); it != tests.rend(); ++it)
        (*it)->Release();
    return S_OK;
}

bool UnitTestRegistry::RunOne(IUnitTest* test, LONG index)
{
    try {
        if (FAILED(test->RunTest(index)))
            return false;
        VARIANT_BOOL ok = VARIANT_FALSE;
        IQLXString* message = nullptr;
        const HRESULT hr = test->GetResult(&ok, &message);
        if (message)
            message->Release();
        return SUCCEEDED(hr) && ok != 0;
    } catch (...) {
        return false;
    }
}

} // namespace Kxf
