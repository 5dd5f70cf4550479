// Interface arrays: references held per entry and released last to first.

#include "extension/InterfaceArray.h"
#include "extension/QLXComObjectRoot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> releaseOrder;

class Tracked : public IUnknown {
public:
    explicit Tracked(int id) : id_(id) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        releaseOrder.push_back(id_);
        return --refs;
    }
    ULONG refs = 1;

private:
    int id_;
};

TEST(InterfaceArray, HoldsAReferencePerEntryAndReleasesLastToFirst)
{
    releaseOrder.clear();
    std::vector<Tracked> items;
    for (int i = 0; i < 20; ++i)
        items.emplace_back(i);
    {
        InterfaceArray<IUnknown> array;
        for (auto& item : items)
            array.Add(&item);
        EXPECT_EQ(array.Count(), 20);
        EXPECT_EQ(items[19].refs, 2u);
        EXPECT_EQ(array[7], &items[7]);
    }
    ASSERT_EQ(releaseOrder.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(releaseOrder[i], 19 - i);
    for (auto& item : items)
        EXPECT_EQ(item.refs, 1u);
}

TEST(InterfaceArray, RemoveReleasesOnlyThatEntry)
{
    releaseOrder.clear();
    Tracked a(1), b(2), c(3);
    InterfaceArray<IUnknown> array;
    array.Add(&a);
    array.Add(&b);
    array.Add(&c);
    EXPECT_TRUE(array.Remove(&b));
    EXPECT_FALSE(array.Remove(&b));
    EXPECT_EQ(releaseOrder, std::vector<int>{2});
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array[1], &c);
    array.Clear();
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(c.refs, 1u);
}

// A root that touches its own count while being destroyed.
class SelfTouching : public QLX::CComObjectRoot {
public:
    explicit SelfTouching(int* destroyed, LONG* countSeen) : destroyed_(destroyed), countSeen_(countSeen) {}
    ~SelfTouching()
    {
        *countSeen_ = RefCount();
        ++*destroyed_;
        AddRef();
        Release();
    }
    ULONG AddRef() { return InternalAddRef(); }
    ULONG Release()
    {
        LONG left = 0;
        if (ReleaseIsFinal(&left))
            delete this;
        return left;
    }

private:
    int* destroyed_;
    LONG* countSeen_;
};

TEST(QLXComObjectRoot, FinalReleaseMarksTheCountSoDestructionCannotRepeat)
{
    int destroyed = 0;
    LONG seen = 0;
    auto* object = new SelfTouching(&destroyed, &seen);
    EXPECT_EQ(object->RefCount(), 0);
    object->AddRef();
    object->AddRef();
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(seen, QLX::CComObjectRoot::DestructionMark);
}

TEST(QLXComObjectRoot, GuardedReferenceNeverDeletes)
{
    int destroyed = 0;
    LONG seen = 0;
    auto* object = new SelfTouching(&destroyed, &seen);
    {
        QLX::RefGuard guard(*object);
        object->AddRef();
        object->Release();
    }
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(object->RefCount(), 0);
    object->AddRef();
    object->Release();
    EXPECT_EQ(destroyed, 1);
}

} // namespace
