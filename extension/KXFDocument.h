#pragma once
// Document bases: a document bound to the framework, and a document that lives
// inside a host document.

#include "extension/ComAccess.h"
#include "extension/KXFEventHandler.h"
#include "extension/QLXComObjectRoot.h"

// The framework's view of a module document. The framework owns it through its
// reference count; the document owns its binding and its class object.
class KXFDocument : public ICustomDocument2, public KXFEventHandlerT<1>, public QLX::CComObjectRoot {
public:
    // Binds the document to the framework (owner: the host document; classObject: the
    // document class that creates it).
    KXFDocument(IUnknown* owner, IUnknown* classObject);
    ~KXFDocument() override;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ICustomDocument
    HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
    LONG STDMETHODCALLTYPE IsAlive() override { return -1; }
    HRESULT STDMETHODCALLTYPE Detach() override;
    HRESULT STDMETHODCALLTYPE GetExtension(IUnknown** extension) override;
    DWORD STDMETHODCALLTYPE GetFirstValue() override { return firstValue_; }
    HRESULT STDMETHODCALLTYPE GetOwnerExtension(IUnknown** extension) override;
    HRESULT STDMETHODCALLTYPE QueryPersistence(DWORD flag, DWORD kind, IUnknown** persistence, DWORD* extra) override;

    // ICustomDocument2
    HRESULT STDMETHODCALLTYPE SetName(IQLXString* name) override;
    HRESULT STDMETHODCALLTYPE GetName(IQLXString** name) override;
    DWORD STDMETHODCALLTYPE GetSecondValue() override { return secondValue_; }
    HRESULT STDMETHODCALLTYPE SetSecondValue(DWORD value) override;
    HRESULT STDMETHODCALLTYPE Reserved1() override { return 0; }
    HRESULT STDMETHODCALLTYPE Reserved2() override { return 0; }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return 0; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return 0; }

    void SetFirstValue(DWORD value) { firstValue_ = value; }
    void SetTitle(const QLXString& title) { title_ = title; }
    const QLXString& Name() const { return name_; }

    // The framework binding (null when the framework could not bind the document).
    IUnknown* Binding() const { return binding_.get(); }
    // The binding's link, asked once and kept; used when registering with the host.
    IKXFLink* BindingLink();
    // The owner's link, kept without a reference.
    IKXFLink* OwnerLink() const { return ownerLink_; }
    IUnknown* ClassObject() const { return classObject_.get(); }

protected:
    IObserver* BindingObserver() override;
    IMessageHandler* BindingMessageHandler() override;

private:
    // Asks the binding for an interface once and keeps it (with its reference).
    template <class I>
    I* FromBinding(ComHeld<I>& slot, bool& asked, REFIID iid);

    ComHeld<IUnknown> binding_;
    DWORD firstValue_ = 0;
    DWORD secondValue_ = 0;
    QLXString name_;
    QLXString title_;
    ComHeld<IMessageHandler> bindingHandler_;
    ComHeld<IObserver> bindingObserver_;
    ComHeld<IKXFLink> bindingLink_;
    ComHeld<IUnknown> ownerExtension_;
    bool bindingHandlerAsked_ = false;
    bool bindingObserverAsked_ = false;
    bool bindingLinkAsked_ = false;
    bool ownerExtensionAsked_ = false;
    IUnknown* owner_ = nullptr; // not held; only asked for its extension
    IKXFLink* ownerLink_ = nullptr;
    ComHeld<IUnknown> classObject_;
    IKXFClassObject* classInterface_ = nullptr; // kept alive by classObject_
};

// A document inside a host document: keeps the host document and its links.
class VarnChildDocument : public KXFDocument {
public:
    VarnChildDocument(IUnknown* owner, IUnknown* classObject);
    ~VarnChildDocument() override;

    // Lets go of the host document first.
    HRESULT STDMETHODCALLTYPE Detach() override;

    IHostDocument* HostDocument() const { return hostDocument_.get(); }
    // Kept without a reference; valid while the host document lives.
    IHardwareLink* HardwareLink() const { return hardwareLink_; }
    IUnknown* HostLink(int index) const { return index >= 0 && index < 3 ? hostLinks_[index] : nullptr; }

private:
    ComHeld<IHostDocument> hostDocument_;
    IHardwareLink* hardwareLink_ = nullptr;
    IUnknown* hostLinks_[3] = {};
};
