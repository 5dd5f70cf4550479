#include "HostDocument.h"
#include "Held.h"
#include "HostString.h"
#include "host/HostCom.h"

#include "DocumentFile.h"

#include <algorithm>
#include <utility>

namespace VireoHost {

HostDocument::HostDocument(SimulatedUnit* unit) : unit_(unit)
{
    if (unit_)
        unit_->AddRef();
}

HostDocument::~HostDocument()
{
    Close();
    if (unit_)
        unit_->Release();
}

HRESULT HostDocument::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostDocument))
        *object = static_cast<IHostDocument*>(this);
    else if (IsEqualIID(iid, IID_IKXFLink))
        *object = static_cast<IKXFLink*>(this);
    else if (IsEqualIID(iid, IID_IKXFStreamStorage))
        *object = static_cast<IKXFStreamStorage*>(this);
    else if (IsEqualIID(iid, IID_IHardwareLink))
        *object = static_cast<IHardwareLink*>(this);
    else if (IsEqualIID(iid, IID_IKXFNotificationSource))
        *object = static_cast<IKXFNotificationSource*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG HostDocument::AddRef()
{
    return InterlockedIncrement(&refs_);
}

ULONG HostDocument::Release()
{
    return HostCom::ReleaseWith(refs_, [this] { delete this; });
}

HRESULT HostDocument::GetLink(REFIID iid, void** link)
{
    if (!link)
        return E_POINTER;
    *link = nullptr;
    if (IsEqualIID(iid, IID_IHardwareLink))
        return QueryInterface(iid, link);
    return E_NOINTERFACE;
}

HRESULT HostDocument::GetLinkedObject(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IKXFStreamStorage) || IsEqualIID(iid, IID_IHostDocument))
        return QueryInterface(iid, object);
    return E_NOINTERFACE;
}

HRESULT HostDocument::RegisterStream(IKXFLink* link, DWORD, IPersistStream* stream, DWORD, DWORD, IQLXString** text)
{
    if (text)
        *text = nullptr;
    if (!stream)
        return E_POINTER;
    if (std::find(registered_.begin(), registered_.end(), stream) == registered_.end()) {
        // The link leads to the registering document while it is alive; hold it now.
        IUnknown* owner = nullptr;
        if (!link || FAILED(link->GetLinkedObject(IID_IUnknown, reinterpret_cast<void**>(&owner))))
            owner = nullptr;
        registeredOwners_.reserve(registeredOwners_.size() + 1);
        registered_.reserve(registered_.size() + 1);
        stream->AddRef();
        registered_.push_back(stream);
        registeredOwners_.push_back(owner);
    }
    return S_OK;
}

HRESULT HostDocument::GetCurrentDevice(IDeviceObject** device)
{
    if (!device)
        return E_POINTER;
    *device = unit_ ? static_cast<IDeviceObject*>(unit_) : nullptr;
    if (!*device)
        return S_FALSE;
    unit_->AddRef();
    return S_OK;
}

HRESULT HostDocument::Subscribe(IObserver* observer, DWORD number, DWORD_PTR)
{
    if (!observer)
        return E_POINTER;
    for (const Subscription& subscription : subscriptions_)
        if (subscription.observer == observer && subscription.number == number)
            return S_FALSE;
    subscriptions_.push_back({observer, number});
    observer->AddRef();
    return S_OK;
}

HRESULT HostDocument::Unsubscribe(IObserver* observer, DWORD number)
{
    for (auto it = subscriptions_.begin(); it != subscriptions_.end(); ++it)
        if (it->observer == observer && it->number == number) {
            subscriptions_.erase(it);
            observer->Release();
            return S_OK;
        }
    return S_FALSE;
}

HRESULT HostDocument::Raise(DWORD number, DWORD_PTR argument, void* payload)
{
    // An observer may unsubscribe while it is told; each one told is held meanwhile.
    const std::vector<Subscription> subscriptions = subscriptions_;
    for (const Subscription& subscription : subscriptions)
        subscription.observer->AddRef();
    for (const Subscription& subscription : subscriptions)
        if (subscription.number == number)
            subscription.observer->Notify(static_cast<IKXFNotificationSource*>(this), number, argument, payload);
    for (const Subscription& subscription : subscriptions)
        subscription.observer->Release();
    return S_OK;
}

HRESULT HostDocument::CreateModuleDocument(REFCLSID classId, std::wstring& error)
{
    IKXFClassControl* registry = nullptr;
    HRESULT hr = CoGetClassObject(CLSID_KXFFramework, CLSCTX_INPROC_SERVER, nullptr, IID_IKXFClassControl,
                                  reinterpret_cast<void**>(&registry));
    if (FAILED(hr) || !registry) {
        error = L"the framework is not running";
        return FAILED(hr) ? hr : E_FAIL;
    }
    hr = registry->CreateDocument(classId, static_cast<IHostDocument*>(this), &document_);
    registry->Release();
    if (FAILED(hr) || !document_) {
        document_ = nullptr;
        error = L"the online events document class is not registered";
        return FAILED(hr) ? hr : E_FAIL;
    }
    IObserver* observer = nullptr;
    if (SUCCEEDED(document_->QueryInterface(IID_IObserver, reinterpret_cast<void**>(&observer))) && observer) {
        observer->Connect(static_cast<IKXFNotificationSource*>(this));
        observer->Release();
    }
    return S_OK;
}

IPersistStream* HostDocument::QueryPersistence()
{
    ICustomDocument* custom = nullptr;
    if (!document_ || FAILED(document_->QueryInterface(IID_ICustomDocument, reinterpret_cast<void**>(&custom))))
        return nullptr;
    IUnknown* persistence = nullptr;
    DWORD extra = 0;
    const HRESULT hr = custom->QueryPersistence(0, 2, &persistence, &extra);
    custom->Release();
    if (hr != 0 || !persistence)
        return nullptr;
    IPersistStream* stream = nullptr;
    persistence->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&stream));
    persistence->Release();
    return stream;
}

HRESULT HostDocument::SendText(DWORD number, const std::wstring& text)
{
    if (!document_)
        return E_FAIL;
    Held<IKXFObjectRegistry> registry;
    Held<IKXFMessageDispatcher> dispatcher;
    Held<IKXFMessageFactory> factory;
    CoGetClassObject(CLSID_KXFFramework, CLSCTX_INPROC_SERVER, nullptr, IID_IKXFObjectRegistry, registry.Out());
    CoGetClassObject(CLSID_KXFFramework, CLSCTX_INPROC_SERVER, nullptr, IID_IKXFMessageDispatcher, dispatcher.Out());
    if (registry.object)
        registry.object->GetObject(KXFObject_MessageFactory, IID_IKXFMessageFactory, factory.Out());
    if (!factory.object || !dispatcher.object)
        return E_FAIL;
    Held<IQLXString> payload(NewHostString(text));
    if (!payload.object)
        return E_OUTOFMEMORY;
    KXFValue value{KXFValue_Text, payload.object};
    Held<IKXFMessage> message;
    HRESULT hr = factory.object->CreateMessage(number, 0, 0, 0, &value, &message.object);
    if (SUCCEEDED(hr) && message.object)
        hr = dispatcher.object->Dispatch(message.object, document_);
    return hr;
}

HRESULT HostDocument::Save(const std::wstring& path, std::wstring& error)
{
    return SaveDocumentFile(path, registered_, error);
}

void HostDocument::Close()
{
    const std::vector<Subscription> subscriptions = std::move(subscriptions_);
    subscriptions_.clear();
    for (const Subscription& subscription : subscriptions)
        subscription.observer->Release();
    // Released from local copies: a document let go here may call back into this one.
    const std::vector<IPersistStream*> registered = std::move(registered_);
    const std::vector<IUnknown*> owners = std::move(registeredOwners_);
    registered_.clear();
    registeredOwners_.clear();
    for (auto it = registered.rbegin(); it != registered.rend(); ++it)
        (*it)->Release();
    for (auto it = owners.rbegin(); it != owners.rend(); ++it)
        if (*it)
            (*it)->Release();
    if (document_) {
        ICustomDocument* custom = nullptr;
        if (SUCCEEDED(document_->QueryInterface(IID_ICustomDocument, reinterpret_cast<void**>(&custom))) && custom) {
            custom->Detach();
            custom->Release();
        }
        document_->Release();
        document_ = nullptr;
    }
}

} // namespace VireoHost
