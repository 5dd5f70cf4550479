#include "HostServices.h"
#include "HostString.h"
#include "KxfLibrary.h"

#include <gtest/gtest.h>

using VireoHost::TestOutcome;

namespace {

// Two tests: the first passes, the second fails with a message; the third throws.
class ScriptedTest : public IUnitTest {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IUnitTest)) {
            *object = static_cast<IUnitTest*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTestCount(LONG* count) override
    {
        *count = 3;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RunTest(LONG index) override
    {
        if (index == 2)
            throw 1;
        last = index;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTestName(LONG index, IQLXString** name) override
    {
        const wchar_t* names[] = {L"Suite::Passes", L"Suite::Fails", L"Suite::Throws"};
        *name = VireoHost::NewHostString(names[index]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResult(VARIANT_BOOL* passed, IQLXString** message) override
    {
        *passed = last == 0 ? VARIANT_TRUE : VARIANT_FALSE;
        *message = VireoHost::NewHostString(last == 0 ? L"" : L"test.cpp, Line 19 [a==b]");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Initialise(void*, void*, void*) override
    {
        ++initialised;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetOwner(IQLXString** owner) override
    {
        *owner = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTestValue(LONG, double* value) override
    {
        *value = 0;
        return S_OK;
    }
    ULONG refs = 1;
    int initialised = 0;
    LONG last = -1;
};

// The framework's registry as a module finds it through COM, and the runner the host reaches it by.
struct Registry {
    Registry()
    {
        registry = KxfTest::Service<IUnitTestRegistry>(CLSID_UnitTestRegistry, IID_IUnitTestRegistry);
        if (registry)
            registry->QueryInterface(IID_IUnitTestRunner, reinterpret_cast<void**>(&runner));
    }
    ~Registry()
    {
        if (runner) {
            runner->Clear();
            runner->Release();
        }
    }
    IUnitTestRegistry* registry = nullptr;
    IUnitTestRunner* runner = nullptr;
};

TEST(HostTestRegistry, RunsEveryTestByNameAndKeepsTheFailureText)
{
    ScriptedTest test;
    {
        Registry kxf;
        ASSERT_NE(kxf.runner, nullptr);
        ASSERT_EQ(kxf.registry->AddTest(&test), S_OK);
        EXPECT_EQ(test.initialised, 1);
        EXPECT_EQ(test.refs, 2u);
        const std::vector<TestOutcome> outcomes = VireoHost::RunTests(kxf.runner);
        ASSERT_EQ(outcomes.size(), 3u);
        EXPECT_EQ(outcomes[0].name, L"Suite::Passes");
        EXPECT_TRUE(outcomes[0].passed);
        EXPECT_EQ(outcomes[1].name, L"Suite::Fails");
        EXPECT_FALSE(outcomes[1].passed);
        EXPECT_EQ(outcomes[1].message, L"test.cpp, Line 19 [a==b]");
        EXPECT_FALSE(outcomes[2].passed);
        ULONG passed = 0;
        ULONG failed = 0;
        EXPECT_EQ(kxf.runner->RunAll(&passed, &failed), S_OK);
        EXPECT_EQ(passed, 1u);
        EXPECT_EQ(failed, 2u);
    }
    EXPECT_EQ(test.refs, 1u);
}

TEST(HostTestRegistry, RefusesWhatIsNoUnitTest)
{
    Registry kxf;
    ASSERT_NE(kxf.runner, nullptr);
    EXPECT_EQ(kxf.registry->AddTest(nullptr), E_POINTER);
    ULONG count = 9;
    EXPECT_EQ(kxf.runner->GetTestCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    IUnitTest* none = nullptr;
    EXPECT_EQ(kxf.runner->GetTest(0, &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
}

} // namespace
