#include "extension/KXFDocument.h"

#include "extension/ComAccess.h"
#include "extension/KXFObjects.h"

KXFDocument::KXFDocument(IUnknown* owner, IUnknown* classObject) : owner_(owner)
{
    ownerLink_ = Borrow<IKXFLink>(owner, IID_IKXFLink);
    if (classObject) {
        classObject_ = classObject;
        classObject_->AddRef();
        classInterface_ = Borrow<IKXFClassObject>(classObject, IID_IKXFClassObject);
    }
    if (IKXFDocumentBinder* binder = KXFObjects::DocumentBinder()) {
        QLX::RefGuard guard(*this);
        if (FAILED(binder->BindDocument(classObject, owner, static_cast<ICustomDocument2*>(this), 0, &binding_)))
            binding_ = nullptr;
    }
}

KXFDocument::~KXFDocument()
{
    ReleaseAll(ownerExtension_, bindingLink_, bindingObserver_, bindingHandler_, binding_, classObject_);
}

HRESULT STDMETHODCALLTYPE KXFDocument::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_KXFRefusedDocumentInterface))
        return E_NOINTERFACE;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ICustomDocument) || IsEqualIID(iid, IID_ICustomDocument2))
        return QLX::GiveInterface(static_cast<ICustomDocument2*>(this), object);
    if (IUnknown* handler = HandlerInterface(iid))
        return QLX::GiveInterface(handler, object);
    return binding_ ? binding_->QueryInterface(iid, object) : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE KXFDocument::AddRef() { return static_cast<ULONG>(InternalAddRef()); }

ULONG STDMETHODCALLTYPE KXFDocument::Release() { return ReleaseOf(this); }

HRESULT STDMETHODCALLTYPE KXFDocument::GetTitle(BSTR* title)
{
    if (!title)
        return E_POINTER;
    *title = title_.NewBstr();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocument::Detach()
{
    ResetTarget();
    // Both were kept without a reference: after detach the host document may be gone.
    Lock();
    owner_ = nullptr;
    ownerLink_ = nullptr;
    Unlock();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocument::GetExtension(IUnknown** extension)
{
    if (extension)
        *extension = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE KXFDocument::GetOwnerExtension(IUnknown** extension)
{
    if (!extension)
        return E_POINTER;
    *extension = nullptr;
    Lock();
    if (!ownerExtensionAsked_) {
        ownerExtensionAsked_ = true;
        if (owner_ &&
            FAILED(owner_->QueryInterface(IID_IKXFOwnerExtension, reinterpret_cast<void**>(&ownerExtension_))))
            ownerExtension_ = nullptr;
    }
    IUnknown* found = ownerExtension_;
    Unlock();
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *extension = found;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocument::QueryPersistence(DWORD, DWORD, IUnknown** persistence, DWORD* extra)
{
    if (persistence)
        *persistence = nullptr;
    if (extra)
        *extra = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE KXFDocument::SetName(IQLXString* name)
{
    try {
        if (!name) {
            name_ = QLXString();
        } else if (name->GetKind() == QLXString::OwnKind) {
            name->AddRef();
            name_ = QLXString::Attach(name);
        } else {
            name_ = QLXString(name);
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocument::GetName(IQLXString** name)
{
    if (!name)
        return E_POINTER;
    *name = name_.GetInterface();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocument::SetSecondValue(DWORD value)
{
    secondValue_ = value;
    return S_OK;
}

template <class I>
I* KXFDocument::FromBinding(I*& slot, bool& asked, REFIID iid)
{
    Lock();
    if (!asked) {
        asked = true;
        if (binding_ && FAILED(binding_->QueryInterface(iid, reinterpret_cast<void**>(&slot))))
            slot = nullptr;
    }
    I* found = slot;
    Unlock();
    return found;
}

IKXFLink* KXFDocument::BindingLink()
{
    return FromBinding(bindingLink_, bindingLinkAsked_, IID_IKXFLink);
}

IObserver* KXFDocument::BindingObserver()
{
    return FromBinding(bindingObserver_, bindingObserverAsked_, IID_IObserver);
}

IMessageHandler* KXFDocument::BindingMessageHandler()
{
    return FromBinding(bindingHandler_, bindingHandlerAsked_, IID_IMessageHandler);
}

VarnChildDocument::VarnChildDocument(IUnknown* owner, IUnknown* classObject) : KXFDocument(owner, classObject)
{
    if (owner && FAILED(owner->QueryInterface(IID_IHostDocument, reinterpret_cast<void**>(&hostDocument_))))
        hostDocument_ = nullptr;
    if (!hostDocument_)
        return;
    const IID* linkIds[3] = {&IID_IHostLinkA, &IID_IHostLinkB, &IID_IHostLinkC};
    void* link = nullptr;
    if (SUCCEEDED(hostDocument_->GetLink(IID_IHardwareLink, &link)) && link) {
        hardwareLink_ = static_cast<IHardwareLink*>(link);
        hardwareLink_->Release();
    }
    for (int i = 0; i < 3; ++i) {
        link = nullptr;
        if (SUCCEEDED(hostDocument_->GetLink(*linkIds[i], &link)) && link) {
            hostLinks_[i] = static_cast<IUnknown*>(link);
            hostLinks_[i]->Release();
        }
    }
}

VarnChildDocument::~VarnChildDocument()
{
    if (hostDocument_)
        hostDocument_->Release();
}

HRESULT STDMETHODCALLTYPE VarnChildDocument::Detach()
{
    if (IHostDocument* host = hostDocument_) {
        hostDocument_ = nullptr;
        // The links were the host document's; they go with it.
        hardwareLink_ = nullptr;
        for (IUnknown*& link : hostLinks_)
            link = nullptr;
        host->Release();
    }
    return KXFDocument::Detach();
}
