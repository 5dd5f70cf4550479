// Object registry: keeps the registered document classes, creates documents through
// them, and hands out the framework's objects by number.

#include "Services.h"

#include <mutex>
#include <vector>

namespace Kxf {
namespace {

class ObjectRegistryService : public IKXFObjectRegistry {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IKXFObjectRegistry))
            return Answer<IKXFObjectRegistry>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_STATIC_UNKNOWN

    // A class identifier is registered once; the class then installs its commands.
    HRESULT STDMETHODCALLTYPE RegisterClassObject(IUnknown* classObject) override
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

    HRESULT STDMETHODCALLTYPE GetObject(DWORD number, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        IUnknown* found = nullptr;
        switch (number) {
        case KXFObject_MessageFactory:
            found = MessageFactory();
            break;
        case KXFObject_DocumentBinder:
            found = DocumentBinder();
            break;
        case KXFObject_ClassBinder:
            found = ClassBinder();
            break;
        case KXFObject_CommandFactory:
            found = CommandFactory();
            break;
        case KXFObject_MenuInstaller:
            found = MenuInstaller();
            break;
        default:
            if ((number & 0xFFFF) == 0 && (number >> 16) == StateServiceGroup())
                found = StateService();
            break;
        }
        return found ? found->QueryInterface(iid, object) : E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE RevokeClassObject(REFCLSID classId) override
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
        MenuInstaller()->RemoveCommandContainer(classId);
        removed->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateDocument(REFCLSID classId, IUnknown* owner, IUnknown** document) override
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
            IKXFNotificationSource* source = nullptr;
            EventHandlerRegistry()->QueryInterface(IID_IKXFNotificationSource, reinterpret_cast<void**>(&source));
            observer->Connect(source);
            source->Release();
            observer->Release();
        }
        return hr;
    }

private:
    struct Entry {
        CLSID classId;
        ICustomDocClass* documentClass; // held
    };
    std::mutex mutex_;
    std::vector<Entry> classes_;
};

} // namespace

IKXFObjectRegistry* ObjectRegistry()
{
    static ObjectRegistryService service;
    return &service;
}

} // namespace Kxf
