#include "extension/KXFDocumentClass.h"

#include "extension/ComAccess.h"
#include "extension/KXFObjects.h"

KXFDocumentClassBase::KXFDocumentClassBase(const QLXString& name, REFCLSID classId, REFGUID documentKind,
                                           DWORD messageBase, DWORD classFlags, DWORD bindingOption,
                                           const InterfaceArray<IKXFCommand>& commands)
    : name_(name), classId_(classId), documentKind_(documentKind), messageBase_(messageBase), classFlags_(classFlags)
{
    for (int i = 0; i < commands.Count(); ++i)
        commands_.Add(commands[i]);
    if (IKXFClassBinder* binder = KXFObjects::ClassBinder()) {
        QLX::RefGuard guard(*this);
        if (FAILED(binder->BindClass(static_cast<ICustomDocClass*>(this), bindingOption, &binding_)))
            binding_ = nullptr;
        if (binding_) {
            void* object = nullptr;
            if (SUCCEEDED(binding_->QueryInterface(IID_IKXFClassObject, &object)) && object) {
                bindingClassObject_ = static_cast<IKXFClassObject*>(object);
                bindingClassObject_->Release();
            }
            if (FAILED(binding_->QueryInterface(IID_IKXFCommandHandler, reinterpret_cast<void**>(&bindingCommands_))))
                bindingCommands_ = nullptr;
            if (FAILED(binding_->QueryInterface(IID_IObserver, reinterpret_cast<void**>(&bindingObserver_))))
                bindingObserver_ = nullptr;
            if (FAILED(binding_->QueryInterface(IID_IMessageHandler, reinterpret_cast<void**>(&bindingHandler_))))
                bindingHandler_ = nullptr;
        }
    }
}

KXFDocumentClassBase::~KXFDocumentClassBase()
{
    commands_.Clear();
    ReleaseAll(container_, bindingCommands_, bindingObserver_, bindingHandler_, binding_);
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IKXFClassObject) || IsEqualIID(iid, IID_ICustomDocClass))
        return QLX::GiveInterface(static_cast<ICustomDocClass*>(this), object);
    return QLX::GiveInterface(HandlerInterface(iid), object);
}

ULONG STDMETHODCALLTYPE KXFDocumentClassBase::AddRef() { return static_cast<ULONG>(InternalAddRef()); }

ULONG STDMETHODCALLTYPE KXFDocumentClassBase::Release() { return ReleaseOf(this); }

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::GetKind(GUID* kind)
{
    if (!kind)
        return E_POINTER;
    *kind = documentKind_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::IsKind(REFGUID kind)
{
    return IsEqualGUID(kind, documentKind_) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::GetName(BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = name_.NewBstr();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::CreateDocument(IUnknown*, IUnknown** document)
{
    if (document)
        *document = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::InstallCommands(IUnknown* site)
{
    IKXFCommandHandler* handler = nullptr;
    HRESULT hr = QueryInterface(IID_IKXFCommandHandler, reinterpret_cast<void**>(&handler));
    if (FAILED(hr))
        return hr;
    try {
        hr = InstallCommandsWith(handler, site);
    } catch (...) {
        hr = E_FAIL;
    }
    handler->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::GetClassId(CLSID* classId)
{
    if (!classId)
        return E_POINTER;
    *classId = classId_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFDocumentClassBase::InstallCommandsWith(IKXFCommandHandler*, IUnknown*)
{
    return E_NOTIMPL;
}

HRESULT KXFDocumentClassBase::InstallMenuCommand(IKXFCommandHandler* handler, IUnknown* site, HINSTANCE instance,
                                                 UINT textId, LPCWSTR menuPath)
{
    IKXFMenuInstaller* installer = KXFObjects::MenuInstaller();
    IKXFCommandFactory* factory = KXFObjects::CommandFactory();
    if (!installer || !factory)
        return E_FAIL;
    IKXFCommandContainer* container = nullptr;
    HRESULT hr = installer->GetCommandContainer(classId_, handler, site, &container);
    if (FAILED(hr) || !container)
        return FAILED(hr) ? hr : E_FAIL;
    if (container_)
        container_->Release();
    container_ = container;
    installed_ = false;

    const QLXString empty;
    IKXFCommand* command = nullptr;
    hr = factory->CreateCommand(1, instance, textId, menuPath, 0, empty.Rep(), empty.Rep(), 2, 0, 0, &command);
    if (FAILED(hr) || !command)
        return FAILED(hr) ? hr : E_FAIL;
    DWORD number = 0;
    command->GetNumber(&number);
    command->SetNumber(number);
    IKXFCommandState* state = nullptr;
    if (SUCCEEDED(command->QueryInterface(IID_IKXFCommandState, reinterpret_cast<void**>(&state))) && state) {
        state->SetNumber(number);
        state->Release();
    }
    IKXFCommandDescription* description = nullptr;
    if (SUCCEEDED(command->QueryInterface(IID_IKXFCommandDescription, reinterpret_cast<void**>(&description))) &&
        description) {
        description->SetDescription(empty.Rep());
        description->Release();
    }
    hr = container_->AddCommand(command);
    if (SUCCEEDED(hr) && SUCCEEDED(command->GetNumber(&number)) && number != 0)
        installed_ = true;
    command->Release();
    return hr;
}
