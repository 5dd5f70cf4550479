#pragma once
// Object registry: keeps the registered document classes, creates documents through
// them, and hands out the framework's objects by number.

#include "host/kxf/EmbeddedService.h"

#include "host/HostControl.h"

#include <mutex>
#include <vector>

namespace Kxf {

class ObjectRegistry : public EmbeddedService<IKXFObjectRegistry>, public EmbeddedService<IKXFClassControl> {
public:
    explicit ObjectRegistry(IUnknown* outer)
        : EmbeddedService<IKXFObjectRegistry>(outer), EmbeddedService<IKXFClassControl>(outer)
    {}

    IKXFObjectRegistry* Registry() { return this; }
    IKXFClassControl* Control() { return this; }

    // A class identifier is registered once; the class then installs its commands.
    HRESULT STDMETHODCALLTYPE RegisterClassObject(IUnknown* classObject) override;
    HRESULT STDMETHODCALLTYPE GetObject(DWORD number, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE RevokeClassObject(REFCLSID classId) override;
    // The new document is connected to the framework's notifications.
    HRESULT STDMETHODCALLTYPE CreateDocument(REFCLSID classId, IUnknown* owner, IUnknown** document) override;

private:
    struct Entry {
        CLSID classId;
        ICustomDocClass* documentClass; // held
    };
    std::mutex mutex_;
    std::vector<Entry> classes_;
};

} // namespace Kxf
