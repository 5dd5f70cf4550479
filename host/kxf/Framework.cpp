#include "host/kxf/Framework.h"

#include "host/HostCom.h"
#include "host/kxf/Services.h"

#include <atomic>
#include <mutex>

namespace Kxf {
namespace {

std::atomic<Framework*> g_instance{nullptr};
std::mutex g_instanceLock;

} // namespace

Framework::Framework()
    : unknown_(*this), idRegistry_(&unknown_), objectRegistry_(&unknown_), dispatcher_(&unknown_), events_(&unknown_),
      unitTests_(&unknown_)
{}

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
    else if (IsEqualIID(iid, IID_IKXFObjectRegistry))
        *out = objectRegistry_.Registry();
    else if (IsEqualIID(iid, IID_IKXFClassControl))
        *out = objectRegistry_.Control();
    else if (IsEqualIID(iid, IID_IKXFMessageDispatcher))
        *out = static_cast<IKXFMessageDispatcher*>(&dispatcher_);
    else if (IsEqualIID(iid, IID_IKXFEventHandlerRegistry))
        *out = events_.Registry();
    else if (IsEqualIID(iid, IID_IKXFNotificationSource))
        *out = events_.Source();
    else if (IsEqualIID(iid, IID_IKXFSubscriptionCount))
        *out = events_.Counts();
    else if (IsEqualIID(iid, IID_IUnitTestRegistry))
        *out = unitTests_.Registry();
    else if (IsEqualIID(iid, IID_IUnitTestRunner))
        *out = unitTests_.Runner();
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
    return HostCom::ReleaseWith(refs_, [this] { delete this; });
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

// The class object's services as the framework's own parts reach them.
IKXFObjectRegistry* Services::ObjectRegistry()
{
    return Framework::Instance().Objects();
}
IKXFIdRegistry* Services::IdRegistry()
{
    return Framework::Instance().Ids();
}
IKXFMessageDispatcher* Services::MessageDispatcher()
{
    return Framework::Instance().Dispatcher();
}
IKXFEventHandlerRegistry* Services::EventHandlerRegistry()
{
    return Framework::Instance().Events().Registry();
}
IKXFNotificationSource* Services::NotificationSource()
{
    return Framework::Instance().Events().Source();
}
IUnitTestRegistry* Services::UnitTestRegistry()
{
    return Framework::Instance().UnitTests();
}

} // namespace Kxf
