// Kxf.dll, the stand-in framework: its class object and the identifier registry.

#include "KxfLibrary.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace {

using KxfTest::FrameworkLibrary;
using KxfTest::GetClassObject;

// The framework's identifier registry with a reference for the test.
class IdRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, GetClassObject(CLSID_KXFFramework, IID_IKXFIdRegistry, reinterpret_cast<void**>(&ids_)));
    }
    void TearDown() override
    {
        if (ids_)
            ids_->Release();
    }

    static GUID Numbered(unsigned n) { return {0x1D000000u + n, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}}; }

    IKXFIdRegistry* ids_ = nullptr;
};

} // namespace

TEST(KxfLibrary, HandsOutOneFrameworkObject)
{
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&first)));
    ASSERT_EQ(S_OK, GetClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&second)));
    EXPECT_EQ(first, second);
    first->Release();
    second->Release();
}

TEST(KxfLibrary, RefusesClassesItDoesNotServe)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, GetClassObject(CLSID_HostApplication, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, GetClassObject(CLSID_KXFFramework, IID_IUnknown, nullptr));
}

TEST(KxfFrameworkObject, ServicesShareOneIdentityAndOneCount)
{
    IUnknown* framework = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&framework)));
    IKXFIdRegistry* ids = nullptr;
    ASSERT_EQ(S_OK, framework->QueryInterface(IID_IKXFIdRegistry, reinterpret_cast<void**>(&ids)));
    IUnknown* back = nullptr;
    ASSERT_EQ(S_OK, ids->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(framework, back);

    const ULONG counted = ids->AddRef();
    EXPECT_EQ(counted - 1, framework->Release());
    back->Release();
    ids->Release();
    framework->Release();
}

TEST(KxfFrameworkObject, UnknownInterfaceIsRefusedWithClearedPointer)
{
    IUnknown* framework = nullptr;
    ASSERT_EQ(S_OK, GetClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&framework)));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, framework->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, framework->QueryInterface(IID_IUnknown, nullptr));
    framework->Release();
}

TEST_F(IdRegistryTest, SameGuidGivesTheSameGroup)
{
    WORD first = 0, again = 0;
    ASSERT_EQ(S_OK, ids_->GetIdGroup(Numbered(1), &first));
    ASSERT_EQ(S_OK, ids_->GetIdGroup(Numbered(1), &again));
    EXPECT_EQ(first, again);
}

TEST_F(IdRegistryTest, DistinctGuidsGetDistinctGroupsBelowTheObjectNumbers)
{
    std::set<WORD> groups;
    for (unsigned n = 100; n < 200; ++n) {
        WORD group = 0;
        ASSERT_EQ(S_OK, ids_->GetIdGroup(Numbered(n), &group));
        EXPECT_GE(group, 0x0100);
        EXPECT_LT(group, 0x8000);
        groups.insert(group);
    }
    EXPECT_EQ(100u, groups.size());
}

TEST_F(IdRegistryTest, MissingOutPointerIsRefused)
{
    EXPECT_EQ(E_POINTER, ids_->GetIdGroup(Numbered(2), nullptr));
}

TEST_F(IdRegistryTest, ConcurrentRequestsAgree)
{
    std::vector<std::vector<WORD>> seen(4, std::vector<WORD>(50));
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([this, &seen, t] {
            for (unsigned n = 0; n < 50; ++n)
                ids_->GetIdGroup(Numbered(1000 + n), &seen[t][n]);
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (size_t t = 1; t < seen.size(); ++t)
        EXPECT_EQ(seen[0], seen[t]);
    EXPECT_EQ(50u, std::set<WORD>(seen[0].begin(), seen[0].end()).size());
}
