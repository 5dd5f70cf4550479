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
        Receive(binding_, [&](IUnknown** binding) {
            return binder->BindClass(static_cast<ICustomDocClass*>(this), bindingOption, binding);
        });
        if (binding_) {
            bindingClassObject_ = Borrow<IKXFClassObject>(binding_.get(), IID_IKXFClassObject);
            bindingCommands_.reset(Ask<IKXFCommandHandler>(binding_.get(), IID_IKXFCommandHandler));
            bindingObserver_.reset(Ask<IObserver>(binding_.get(), IID_IObserver));
            bindingHandler_.reset(Ask<IMessageHandler>(binding_.get(), IID_IMessageHandler));
        }
    }
}

KXFDocumentClassBase::~KXFDocumentClassBase()
{
    commands_.Clear();
    // The container and the binding's interfaces before the binding.
    container_.reset();
    bindingCommands_.reset();
    bindingObserver_.reset();
    bindingHandler_.reset();
    binding_.reset();
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
    ComHeld<IKXFCommandHandler> handler;
    const HRESULT hr = Receive(handler, [&](void** out) { return QueryInterface(IID_IKXFCommandHandler, out); });
    if (FAILED(hr))
        return hr;
    try {
        return InstallCommandsWith(handler.get(), site);
    } catch (...) {
        return E_FAIL;
    }
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
    ComHeld<IKXFCommandContainer> container;
    HRESULT hr = Receive(container, [&](IKXFCommandContainer** out) {
        return installer->GetCommandContainer(classId_, handler, site, out);
    });
    if (FAILED(hr) || !container)
        return FAILED(hr) ? hr : E_FAIL;
    container_ = std::move(container);
    installed_ = false;

    const QLXString empty;
    ComHeld<IKXFCommand> command;
    hr = Receive(command, [&](IKXFCommand** out) {
        return factory->CreateCommand(1, instance, textId, menuPath, 0, empty.Rep(), empty.Rep(), 2, 0, 0, out);
    });
    if (FAILED(hr) || !command)
        return FAILED(hr) ? hr : E_FAIL;
    DWORD number = 0;
    command->GetNumber(&number);
    command->SetNumber(number);
    if (ComHeld<IKXFCommandState> state{Ask<IKXFCommandState>(command.get(), IID_IKXFCommandState)})
        state->SetNumber(number);
    if (ComHeld<IKXFCommandDescription> description{
            Ask<IKXFCommandDescription>(command.get(), IID_IKXFCommandDescription)})
        description->SetDescription(empty.Rep());
    hr = container_->AddCommand(command.get());
    if (SUCCEEDED(hr) && SUCCEEDED(command->GetNumber(&number)) && number != 0)
        installed_ = true;
    return hr;
}
