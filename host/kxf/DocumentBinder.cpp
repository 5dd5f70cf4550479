// Document binder and the binding it gives every document: the framework's side of a
// document, which takes the messages and notifications the document passes on and
// links the document to the framework.

#include "host/kxf/Services.h"

namespace Kxf {
namespace {

class DocumentBinding : public IMessageHandler, public IObserver, public IKXFLink, private CountedObject {
public:
    // The binding is owned by the document, so it does not hold it.
    explicit DocumentBinding(IUnknown* document) : document_(document) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IMessageHandler))
            return Answer<IMessageHandler>(this, object);
        if (IsEqualIID(iid, IID_IObserver))
            return Answer<IObserver>(this, object);
        if (IsEqualIID(iid, IID_IKXFLink))
            return Answer<IKXFLink>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_COUNTED_UNKNOWN

    // Messages no part of the document took: the framework has nothing more to do with them.
    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage*) override { return 0; }
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown*) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE Connect(IUnknown* source) override { return source ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Notify(IUnknown*, DWORD, DWORD_PTR, void*) override { return S_OK; }

    // The linked object is the document.
    HRESULT STDMETHODCALLTYPE GetLinkedObject(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        return document_ ? document_->QueryInterface(iid, object) : E_FAIL;
    }

private:
    IUnknown* document_;
};

class DocumentBinderService : public IKXFDocumentBinder {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFDocumentBinder>(this, IID_IKXFDocumentBinder, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE BindDocument(IUnknown* classObject, IUnknown*, IUnknown* document, DWORD,
                                           IUnknown** binding) override
    {
        if (!binding)
            return E_POINTER;
        *binding = nullptr;
        if (!classObject || !document)
            return E_INVALIDARG;
        // Only documents are bound. Asking takes and drops a reference of the
        // document, which is still being built.
        ICustomDocument* custom = nullptr;
        if (FAILED(document->QueryInterface(IID_ICustomDocument, reinterpret_cast<void**>(&custom))) || !custom)
            return E_NOINTERFACE;
        custom->Release();
        auto* made = new (std::nothrow) DocumentBinding(document);
        if (!made)
            return E_OUTOFMEMORY;
        *binding = static_cast<IMessageHandler*>(made);
        return S_OK;
    }
};

} // namespace

IKXFDocumentBinder* Services::DocumentBinder()
{
    static DocumentBinderService service;
    return &service;
}

} // namespace Kxf
