#include "extension/KXFDocument.h"

#include "extension/ComAccess.h"
#include "extension/KXFObjects.h"

KXFDocument::KXFDocument(IUnknown* owner, IUnknown* classObject) : owner_(owner)
{
    ownerLink_ = Borrow<IKXFLink>(owner, IID_IKXFLink);
    if (classObject) {
        classObject_ = HoldReference(classObject);
        classInterface_ = Borrow<IKXFClassObject>(classObject, IID_IKXFClassObject);
    }
    if (IKXFDocumentBinder* binder = KXFObjects::DocumentBinder()) {
        QLX::RefGuard guard(*this);
        Receive(binding_, [&](IUnknown** binding) {
            return binder->BindDocument(classObject, owner, static_cast<ICustomDocument2*>(this), 0, binding);
        });
    }
}

KXFDocument::~KXFDocument()
{
    // The binding's interfaces before the binding, the class object last.
    ownerExtension_.reset();
    bindingLink_.reset();
    bindingObserver_.reset();
    bindingHandler_.reset();
    binding_.reset();
    classObject_.reset();
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
        if (owner_)
            ownerExtension_.reset(Ask<IUnknown>(owner_, IID_IKXFOwnerExtension));
    }
    IUnknown* found = ownerExtension_.get();
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
I* KXFDocument::FromBinding(ComHeld<I>& slot, bool& asked, REFIID iid)
{
    Lock();
    if (!asked) {
        asked = true;
        slot.reset(Ask<I>(binding_.get(), iid));
    }
    I* found = slot.get();
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
    hostDocument_.reset(Ask<IHostDocument>(owner, IID_IHostDocument));
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

VarnChildDocument::~VarnChildDocument() = default;

HRESULT STDMETHODCALLTYPE VarnChildDocument::Detach()
{
    if (ComHeld<IHostDocument> host = std::move(hostDocument_)) {
        // The links were the host document's; they go with it.
        hardwareLink_ = nullptr;
        for (IUnknown*& link : hostLinks_)
            link = nullptr;
    }
    return KXFDocument::Detach();
}
