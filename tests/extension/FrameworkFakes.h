#pragma once
// Host-side stand-ins the framework tests hand to documents: a host document with its
// links, a chained message handler, and the shared command state. Each counts its live
// objects.

#include "hostapi/HostInterfaces.h"
#include "support/FakeCommandState.h"

#include <vector>

namespace VireoTest {

// Loaded framework objects still alive (0 when Kxf.dll is not loaded).
long KxfLiveObjects();
// Test fakes still alive.
long LiveFakes();

// Reference counting of the fakes.
class FakeObject {
public:
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;
    LONG Refs() const { return refs_; }

protected:
    FakeObject();
    virtual ~FakeObject();
    ULONG DoAddRef() { return InterlockedIncrement(&refs_); }
    ULONG DoRelease()
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }

private:
    volatile LONG refs_ = 1;
};

// The owner of a module document: host document, owner link, owner extension and,
// through GetLink, its hardware link (itself).
class FakeHostDocument : public IHostDocument,
                         public IKXFLink,
                         public IKXFOwnerExtension,
                         public IHardwareLink,
                         public FakeObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }

    HRESULT STDMETHODCALLTYPE GetLink(REFIID iid, void** link) override;
    HRESULT STDMETHODCALLTYPE GetLinkedObject(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetCurrentDevice(IDeviceObject** device) override;

    IUnknown* Unknown() { return static_cast<IHostDocument*>(this); }
};

// A handler chained behind a document: takes the one number it is given.
class FakeChainedHandler : public IMessageHandler, public FakeObject {
public:
    explicit FakeChainedHandler(DWORD takes) : takes_(takes) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return DoAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DoRelease(); }

    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage* message) override;
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown*) override
    {
        ++unchained;
        return S_OK;
    }

    std::vector<DWORD> offered;
    int taken = 0;
    int unchained = 0;

private:
    DWORD takes_;
};

// Releases an interface pointer at scope end.
template <class I>
class Ref {
public:
    Ref() = default;
    explicit Ref(I* p) : p_(p) {}
    ~Ref() { Reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    void Reset()
    {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }
    I** Out()
    {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    I* Get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    I* p_ = nullptr;
};

} // namespace VireoTest
