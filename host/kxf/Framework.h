#pragma once
// The framework's one COM object. Its class object is what COM hands out for
// CLSID_KXFFramework, and its QueryInterface answers every framework service; each
// service is an embedded member sharing this object's identity and reference count.

#include "host/kxf/EventHandlerRegistry.h"
#include "host/kxf/IdRegistry.h"
#include "host/kxf/MessageDispatcher.h"
#include "host/kxf/ObjectRegistry.h"
#include "host/kxf/UnitTestRegistry.h"

namespace Kxf {

class Framework {
public:
    // The process-wide object, made on first use; the library keeps one reference of
    // its own until it unloads, so services stay alive for the life of the process.
    static Framework& Instance();
    // Drops the library's own reference when the library unloads.
    static void Shutdown();

    IUnknown* Unknown() { return &unknown_; }

    // The embedded services, without a reference.
    IKXFObjectRegistry* Objects() { return objectRegistry_.Registry(); }
    IKXFIdRegistry* Ids() { return &idRegistry_; }
    IKXFMessageDispatcher* Dispatcher() { return &dispatcher_; }
    EventHandlerRegistry& Events() { return events_; }
    IUnitTestRegistry* UnitTests() { return unitTests_.Registry(); }

    HRESULT QueryInterface(REFIID iid, void** out);
    ULONG AddRef();
    ULONG Release();

private:
    Framework();
    ~Framework() = default;
    Framework(const Framework&) = delete;
    Framework& operator=(const Framework&) = delete;

    // The object's own IUnknown; the services' IUnknown calls arrive here too.
    class Identity : public IUnknown {
    public:
        explicit Identity(Framework& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        Framework& owner_;
    };

    volatile LONG refs_ = 1;
    Identity unknown_;
    IdRegistry idRegistry_;
    ObjectRegistry objectRegistry_;
    MessageDispatcher dispatcher_;
    EventHandlerRegistry events_;
    UnitTestRegistry unitTests_;
};

} // namespace Kxf
