// Class binder and the binding it gives every document class: the framework's side of
// a class, offered each command before the class's own table.

#include "host/kxf/Services.h"

namespace Kxf {
namespace {

class ClassBinding : public IKXFCommandHandler, private CountedObject {
public:
    // Owned by the class object, which it therefore does not hold.
    explicit ClassBinding(IUnknown* classObject) : classObject_(classObject) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IKXFCommandHandler))
            return Answer<IKXFCommandHandler>(this, object);
        // The class object interface is the class's own.
        if (IsEqualIID(iid, IID_IKXFClassObject) && classObject_)
            return classObject_->QueryInterface(iid, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_COUNTED_UNKNOWN

    // The stand-in framework has no commands of its own for a class.
    HRESULT STDMETHODCALLTYPE Execute(DWORD) override { return KXF_NOT_HANDLED; }
    HRESULT STDMETHODCALLTYPE Update(DWORD, IKXFCommandState*) override { return KXF_NOT_HANDLED; }
    HRESULT STDMETHODCALLTYPE Invoke(DWORD, DWORD, DWORD_PTR, DWORD_PTR) override { return KXF_NOT_HANDLED; }

private:
    IUnknown* classObject_;
};

class ClassBinderService : public IKXFClassBinder {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFClassBinder>(this, IID_IKXFClassBinder, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE BindClass(IUnknown* classObject, DWORD, IUnknown** binding) override
    {
        if (!binding)
            return E_POINTER;
        *binding = nullptr;
        if (!classObject)
            return E_INVALIDARG;
        ICustomDocClass* documentClass = nullptr;
        if (FAILED(classObject->QueryInterface(IID_ICustomDocClass, reinterpret_cast<void**>(&documentClass))) ||
            !documentClass)
            return E_NOINTERFACE;
        documentClass->Release();
        auto* made = new (std::nothrow) ClassBinding(classObject);
        if (!made)
            return E_OUTOFMEMORY;
        *binding = static_cast<IKXFCommandHandler*>(made);
        return S_OK;
    }
};

} // namespace

IKXFClassBinder* Services::ClassBinder()
{
    static ClassBinderService service;
    return &service;
}

} // namespace Kxf
