#pragma once
// A host document: owns one module document created through the framework, links
// it to the hardware (the simulated unit), keeps the persistences registered with
// its stream storage and saves them into a document file, and raises the unit's
// notifications to the observers that subscribed with it.

#include "SimulatedUnit.h"

#include "host/HostControl.h"

#include <string>
#include <vector>

namespace VireoHost {

class HostDocument : public IHostDocument,
                     public IKXFLink,
                     public IKXFStreamStorage,
                     public IHardwareLink,
                     public IKXFNotificationSource {
public:
    // One reference for the caller; the unit becomes the current master device.
    explicit HostDocument(SimulatedUnit* unit);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IHostDocument
    HRESULT STDMETHODCALLTYPE GetLink(REFIID iid, void** link) override;
    // IKXFLink: the owner link; the stream storage is at its other end.
    HRESULT STDMETHODCALLTYPE GetLinkedObject(REFIID iid, void** object) override;
    // IKXFStreamStorage
    HRESULT STDMETHODCALLTYPE RegisterStream(IKXFLink* link, DWORD reserved1, IPersistStream* stream, DWORD reserved2,
                                             DWORD reserved3, IQLXString** text) override;
    // IHardwareLink
    HRESULT STDMETHODCALLTYPE GetCurrentDevice(IDeviceObject** device) override;

    // IKXFNotificationSource: each subscription holds its observer until it ends or the document closes.
    HRESULT STDMETHODCALLTYPE Subscribe(IObserver* observer, DWORD number, DWORD_PTR argument) override;
    HRESULT STDMETHODCALLTYPE Unsubscribe(IObserver* observer, DWORD number) override;
    HRESULT STDMETHODCALLTYPE Raise(DWORD number, DWORD_PTR argument, void* payload) override;

    // Creates the module document of the class through the framework and connects
    // it to this document's notifications.
    HRESULT CreateModuleDocument(REFCLSID classId, std::wstring& error);
    IUnknown* ModuleDocument() const { return document_; }
    // The module document's persistence: asked through its persistence query.
    IPersistStream* QueryPersistence();
    // Sends a text message to the module document through the framework.
    HRESULT SendText(DWORD number, const std::wstring& text);
    HRESULT Save(const std::wstring& path, std::wstring& error);
    // Lets go of the module document and the registered persistences.
    void Close();

    const std::vector<IPersistStream*>& Registered() const { return registered_; }

protected:
    virtual ~HostDocument();

private:
    volatile LONG refs_ = 1;
    SimulatedUnit* unit_;
    IUnknown* document_ = nullptr;
    std::vector<IPersistStream*> registered_;
    // The document behind each registered persistence, held so that the
    // persistence, which counts nothing itself, lives as long as it is registered.
    std::vector<IUnknown*> registeredOwners_;
    struct Subscription {
        IObserver* observer;
        DWORD number;
    };
    std::vector<Subscription> subscriptions_;
};

} // namespace VireoHost
