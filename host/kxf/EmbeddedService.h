#pragma once
// Base of a framework service that lives inside the framework object: its IUnknown
// is the framework's, so every service shares one identity and one reference count.

#include <windows.h>
#include <unknwn.h>

namespace Kxf {

template <class Interface>
class EmbeddedService : public Interface {
public:
    explicit EmbeddedService(IUnknown* outer) : outer_(outer) {}
    EmbeddedService(const EmbeddedService&) = delete;
    EmbeddedService& operator=(const EmbeddedService&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return outer_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

protected:
    ~EmbeddedService() = default;

private:
    IUnknown* outer_;
};

} // namespace Kxf
