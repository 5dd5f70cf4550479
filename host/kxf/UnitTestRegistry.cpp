// Unit-test registry: keeps the unit tests handed to it and runs them on request.

#include "Services.h"

#include <mutex>
#include <vector>

namespace Kxf {
namespace {

class UnitTestRegistryService : public IUnitTestRegistry {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IUnitTestRegistry))
            return Answer<IUnitTestRegistry>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE AddTest(IUnknown* test) override
    {
        if (!test)
            return E_POINTER;
        IHostUnitTest* unitTest = nullptr;
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

    HRESULT STDMETHODCALLTYPE GetTestCount(ULONG* count) override
    {
        if (!count)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        *count = static_cast<ULONG>(tests_.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE RunAll(ULONG* passed, ULONG* failed) override
    {
        if (!passed || !failed)
            return E_POINTER;
        *passed = *failed = 0;
        std::vector<IHostUnitTest*> tests;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            tests = tests_;
            for (IHostUnitTest* test : tests)
                test->AddRef();
        }
        for (IHostUnitTest* test : tests) {
            LONG count = 0;
            if (FAILED(test->GetTestCount(&count)))
                count = 0;
            for (LONG i = 0; i < count; ++i)
                (RunOne(test, i) ? *passed : *failed) += 1;
            test->Release();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clear() override
    {
        std::vector<IHostUnitTest*> tests;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            tests.swap(tests_);
        }
        for (auto it = tests.rbegin(); it != tests.rend(); ++it)
            (*it)->Release();
        return S_OK;
    }

private:
    // A test that throws instead of reporting counts as failed.
    static bool RunOne(IHostUnitTest* test, LONG index)
    {
        try {
            if (FAILED(test->RunTest(index)))
                return false;
            SHORT ok = 0;
            IQLXString* message = nullptr;
            const HRESULT hr = test->GetResult(&ok, &message);
            if (message)
                message->Release();
            return SUCCEEDED(hr) && ok != 0;
        } catch (...) {
            return false;
        }
    }

    std::mutex mutex_;
    std::vector<IHostUnitTest*> tests_; // held
};

} // namespace

IUnitTestRegistry* UnitTestRegistry()
{
    static UnitTestRegistryService service;
    return &service;
}

} // namespace Kxf
