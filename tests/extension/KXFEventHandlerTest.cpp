// The event handler's own behaviour apart from any document: what it does when its
// table cannot be resolved.

#include "FrameworkFakes.h"

#include "extension/KXFEventHandler.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace VireoTest {
namespace {

bool providerThrows = true;

DWORD FailingNotice()
{
    if (providerThrows)
        throw std::runtime_error("no identifier group");
    return 0x0FED0001;
}

// A notification source that only counts the subscriptions it is asked for.
class CountingSource : public IKXFNotificationSource, public FakeObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IKXFNotificationSource))
            return E_NOINTERFACE;
        *object = static_cast<IKXFNotificationSource*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }

    HRESULT STDMETHODCALLTYPE Subscribe(IObserver*, DWORD, DWORD_PTR) override
    {
        ++subscribed;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unsubscribe(IObserver*, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Raise(DWORD, DWORD_PTR, void*) override { return S_OK; }

    int subscribed = 0;
};

// A handler with one notification entry whose number cannot always be had.
class FailingTableHandler : public KXFEventHandlerT<1> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    void OnNotice() {}

    KXF_DECLARE_EVENT_TABLE()
};

KXFTableEntry FailingTableHandler::s_eventTable[] = {
    KXFTable::Header(),
    KXFTable::Notification(&FailingNotice, &FailingTableHandler::OnNotice),
    KXFTable::End(),
};

TEST(KXFEventHandler, ConnectThatCannotResolveItsTableFailsAndKeepsNoReferenceOfTheSource)
{
    auto* source = new CountingSource;
    {
        FailingTableHandler handler;
        providerThrows = true;
        EXPECT_EQ(handler.Connect(static_cast<IKXFNotificationSource*>(source)), E_FAIL);
        EXPECT_EQ(source->Refs(), 1);
        EXPECT_EQ(source->subscribed, 0);
        // Once the number can be had, the table is resolved and the entry subscribed.
        providerThrows = false;
        EXPECT_EQ(handler.Connect(static_cast<IKXFNotificationSource*>(source)), S_OK);
        EXPECT_EQ(source->Refs(), 1);
        EXPECT_EQ(source->subscribed, 1);
    }
    source->Release();
}

} // namespace
} // namespace VireoTest
