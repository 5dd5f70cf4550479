// Looking up host services through COM: caching, references and the framework's own services.

#include "extension/FrameworkServices.h"

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

// A class object that answers any interface with itself and counts what COM asks of it.
class CountingClassObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        EnterCriticalSection(&lock_);
        ++asked_[iid];
        LeaveCriticalSection(&lock_);
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }

    CountingClassObject() { InitializeCriticalSection(&lock_); }
    ~CountingClassObject() { DeleteCriticalSection(&lock_); }

    int Asked(REFIID iid)
    {
        EnterCriticalSection(&lock_);
        const int count = asked_[iid];
        LeaveCriticalSection(&lock_);
        return count;
    }
    LONG References() const { return refs_; }

private:
    CRITICAL_SECTION lock_;
    std::map<IID, int, GuidLess> asked_;
    volatile LONG refs_ = 1;
};

// Registers a class object with COM for the life of one test.
class Registration {
public:
    Registration(REFCLSID clsid, IUnknown* object)
    {
        result_ = CoRegisterClassObject(clsid, object, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    ~Registration()
    {
        if (SUCCEEDED(result_))
            CoRevokeClassObject(cookie_);
    }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
    DWORD cookie_ = 0;
};

// Each test uses class identifiers of its own: the cache lives as long as the process.
CLSID TestClass(unsigned char tag)
{
    return {0x7E57C1A5, 0x0001, 0x4000, {0x80, 0x00, 0, 0, 0, 0, 0, tag}};
}

const IID IID_First = {0x7E571F00, 0x0001, 0x4000, {0x80, 0x00, 0, 0, 0, 0, 0, 1}};
const IID IID_Second = {0x7E571F00, 0x0001, 0x4000, {0x80, 0x00, 0, 0, 0, 0, 0, 2}};

void StartComHere()
{
    // Left running: the framework registers itself in this apartment and must stay found.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
}

} // namespace

TEST(FrameworkServiceLookup, SecondLookupAsksComNothingAndGivesTheSamePointer)
{
    StartComHere();
    static CountingClassObject service;
    Registration registered(TestClass(1), &service);
    ASSERT_EQ(S_OK, registered.Result());

    void* first = GetFrameworkService(TestClass(1), IID_First);
    ASSERT_EQ(static_cast<IUnknown*>(&service), first);
    const int asked = service.Asked(IID_First);
    EXPECT_GE(asked, 1);
    EXPECT_EQ(first, GetFrameworkService(TestClass(1), IID_First));
    EXPECT_EQ(asked, service.Asked(IID_First));
}

TEST(FrameworkServiceLookup, KeepsNoReferenceOfItsOwn)
{
    StartComHere();
    static CountingClassObject service;
    Registration registered(TestClass(2), &service);
    ASSERT_EQ(S_OK, registered.Result());
    const LONG before = service.References();
    ASSERT_NE(nullptr, GetFrameworkService(TestClass(2), IID_First));
    EXPECT_EQ(before, service.References());
}

TEST(FrameworkServiceLookup, EachInterfaceIsCachedApart)
{
    StartComHere();
    static CountingClassObject service;
    Registration registered(TestClass(3), &service);
    ASSERT_EQ(S_OK, registered.Result());
    ASSERT_NE(nullptr, GetFrameworkService(TestClass(3), IID_First));
    EXPECT_EQ(0, service.Asked(IID_Second));
    ASSERT_NE(nullptr, GetFrameworkService(TestClass(3), IID_Second));
    EXPECT_GE(service.Asked(IID_Second), 1);
}

TEST(FrameworkServiceLookup, ServiceNobodyOffersIsNullAndAskedForAgainLater)
{
    StartComHere();
    EXPECT_EQ(nullptr, GetFrameworkService(TestClass(4), IID_First));

    static CountingClassObject service;
    Registration registered(TestClass(4), &service);
    ASSERT_EQ(S_OK, registered.Result());
    EXPECT_EQ(static_cast<IUnknown*>(&service), GetFrameworkService(TestClass(4), IID_First));
}

TEST(FrameworkServiceLookup, ConcurrentFirstLookupsShareOneAnswer)
{
    static CountingClassObject service;
    HRESULT registeredResult = E_FAIL;
    DWORD cookie = 0;
    std::vector<void*> seen(8, nullptr);
    // The shared apartment lets every thread see the one registration.
    std::thread registrar([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        registeredResult =
            CoRegisterClassObject(TestClass(5), &service, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        std::vector<std::thread> lookups;
        for (size_t i = 0; i < seen.size(); ++i) {
            lookups.emplace_back([&seen, i] {
                CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                seen[i] = GetFrameworkService(TestClass(5), IID_First);
                CoUninitialize();
            });
        }
        for (auto& t : lookups)
            t.join();
        CoRevokeClassObject(cookie);
        CoUninitialize();
    });
    registrar.join();
    ASSERT_EQ(S_OK, registeredResult);
    for (void* pointer : seen)
        EXPECT_EQ(static_cast<IUnknown*>(&service), pointer);
    EXPECT_EQ(1, service.Asked(IID_First));
}

TEST(FrameworkServiceLookup, FrameworkOffersTheIdentifierRegistry)
{
    StartComHere();
    auto* ids = GetFrameworkService<IKXFIdRegistry>(CLSID_KXFFramework, IID_IKXFIdRegistry);
    ASSERT_NE(nullptr, ids);
    const GUID a = {0x7E57A000, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    const GUID b = {0x7E57A000, 1, 2, {3, 4, 5, 6, 7, 8, 9, 11}};
    WORD first = 0, second = 0, again = 0;
    ASSERT_EQ(S_OK, ids->GetIdGroup(a, &first));
    ASSERT_EQ(S_OK, ids->GetIdGroup(b, &second));
    ASSERT_EQ(S_OK, ids->GetIdGroup(a, &again));
    EXPECT_EQ(first, again);
    EXPECT_NE(first, second);
    EXPECT_EQ(ids, GetFrameworkService(CLSID_KXFFramework, IID_IKXFIdRegistry));
}

TEST(FrameworkServiceLookup, StartedFrameworkAlsoAnswersForTheUnitTestRegistryClass)
{
    StartComHere();
    ASSERT_NE(nullptr, GetFrameworkService(CLSID_KXFFramework, IID_IKXFIdRegistry));
    IUnknown* framework = nullptr;
    IUnknown* registry = nullptr;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_KXFFramework, CLSCTX_ALL, nullptr, IID_IUnknown,
                                     reinterpret_cast<void**>(&framework)));
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_UnitTestRegistry, CLSCTX_ALL, nullptr, IID_IUnknown,
                                     reinterpret_cast<void**>(&registry)));
    EXPECT_EQ(framework, registry);
    framework->Release();
    registry->Release();
}

TEST(FrameworkServiceLookup, EnsureFrameworkWithFrameworkRunningChangesNothing)
{
    StartComHere();
    ASSERT_NE(nullptr, GetFrameworkService(CLSID_KXFFramework, IID_IKXFIdRegistry));
    HMODULE library = GetModuleHandleW(L"Kxf.dll");
    ASSERT_NE(nullptr, library);
    EXPECT_NO_THROW(EnsureFramework());
    EXPECT_EQ(library, GetModuleHandleW(L"Kxf.dll"));
}

TEST(FrameworkLibraryLocation, IsBesideTheHostExecutable)
{
    EXPECT_EQ(VireoTest::ExecutableFolder() + L"Kxf.dll", QLX::FrameworkLibraryPath());
}
