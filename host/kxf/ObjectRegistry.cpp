// Object registry: document classes, documents made through them, framework objects by number.

#include "host/kxf/ObjectRegistry.h"

#include "host/kxf/Services.h"

namespace Kxf {

HRESULT STDMETHODCALLTYPE ObjectRegistry::RegisterClassObject(IUnknown* classObject)
{
    if (!classObject)
        return E_POINTER;
    ICustomDocClass* documentClass = nullptr;
    if (FAILED(classObject->QueryInterface(IID_ICustomDocClass, reinterpret_cast<void**>(&documentClass))) ||
        !documentClass)
        return E_NOINTERFACE;
    CLSID classId = CLSID_NULL;
    if (FAILED(documentClass->GetClassId(&classId))) {
        documentClass->Release();
        return E_FAIL;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : classes_) {
            if (IsEqualCLSID(entry.classId, classId)) {
                documentClass->Release();
                return CO_E_OBJISREG;
            }
        }
        try {
            classes_.push_back({classId, documentClass});
        } catch (...) {
            documentClass->Release();
            return E_OUTOFMEMORY;
        }
    }
    documentClass->InstallCommands(nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ObjectRegistry::GetObject(DWORD number, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IUnknown* found = nullptr;
    switch (number) {
    case KXFObject_MessageFactory:
        found = Services::MessageFactory();
        break;
    case KXFObject_DocumentBinder:
        found = Services::DocumentBinder();
        break;
    case KXFObject_ClassBinder:
        found = Services::ClassBinder();
        break;
    case KXFObject_CommandFactory:
        found = Services::CommandFactory();
        break;
    case KXFObject_MenuInstaller:
        found = Services::MenuInstaller();
        break;
    default:
        if ((number & 0xFFFF) == 0 && (number >> 16) == Services::StateServiceGroup())
            found = Services::StateService();
        break;
    }
    return found ? found->QueryInterface(iid, object) : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE ObjectRegistry::RevokeClassObject(REFCLSID classId)
{
    ICustomDocClass* removed = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = classes_.begin(); it != classes_.end(); ++it) {
            if (IsEqualCLSID(it->classId, classId)) {
                removed = it->documentClass;
                classes_.erase(it);
                break;
            }
        }
    }
    if (!removed)
        return S_FALSE;
    Services::MenuInstaller()->RemoveCommandContainer(classId);
    removed->Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ObjectRegistry::CreateDocument(REFCLSID classId, IUnknown* owner, IUnknown** document)
{
    if (!document)
        return E_POINTER;
    *document = nullptr;
    ICustomDocClass* documentClass = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : classes_) {
            if (IsEqualCLSID(entry.classId, classId)) {
                documentClass = entry.documentClass;
                documentClass->AddRef();
                break;
            }
        }
    }
    if (!documentClass)
        return REGDB_E_CLASSNOTREG;
    const HRESULT hr = documentClass->CreateDocument(owner, document);
    documentClass->Release();
    if (FAILED(hr) || !*document) {
        *document = nullptr;
        return FAILED(hr) ? hr : E_FAIL;
    }
    // The framework's notifications reach the document from now on.
    IObserver* observer = nullptr;
    if (SUCCEEDED((*document)->QueryInterface(IID_IObserver, reinterpret_cast<void**>(&observer))) && observer) {
        observer->Connect(Services::NotificationSource());
        observer->Release();
    }
    return hr;
}

} // namespace Kxf
