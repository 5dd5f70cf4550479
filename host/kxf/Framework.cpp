#include "host/kxf/Framework.h"

#include <atomic>
#include <mutex>

namespace Kxf {
namespace {

std::atomic<Framework*> g_instance{nullptr};
std::mutex g_instanceLock;

} // namespace

Framework::Framework() : unknown_(*this), idRegistry_(&unknown_) {}

Framework& Framework::Instance()
{
    Framework* instance = g_instance.load(std::memory_order_acquire);
    if (instance)
        return *instance;
    std::lock_guard<std::mutex> guard(g_instanceLock);
    instance = g_instance.load(std::memory_order_relaxed);
    if (!instance) {
        instance = new Framework;
        g_instance.store(instance, std::memory_order_release);
    }
    return *instance;
}

void Framework::Shutdown()
{
    if (Framework* instance = g_instance.exchange(nullptr))
        instance->Release();
}

HRESULT Framework::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown))
        *out = &unknown_;
    else if (IsEqualIID(iid, IID_IKXFIdRegistry))
        *out = static_cast<IKXFIdRegistry*>(&idRegistry_);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Framework::AddRef()
{
    return InterlockedIncrement(&refs_);
}

ULONG Framework::Release()
{
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT STDMETHODCALLTYPE Framework::Identity::QueryInterface(REFIID iid, void** out)
{
    return owner_.QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE Framework::Identity::AddRef()
{
    return owner_.AddRef();
}

ULONG STDMETHODCALLTYPE Framework::Identity::Release()
{
    return owner_.Release();
}

} // namespace Kxf
