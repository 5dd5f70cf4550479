#pragma once
// Document class bases: the class object the framework registers and asks for new
// documents and for the class's menu commands.

#include "extension/ComAccess.h"
#include "extension/KXFEventHandler.h"
#include "extension/QLXComObjectRoot.h"

class KXFDocumentClassBase : public ICustomDocClass, public KXFEventHandlerT<1>, public QLX::CComObjectRoot {
public:
    // Binds the class to the framework with the binding option. The command list is
    // kept with a reference per command.
    KXFDocumentClassBase(const QLXString& name, REFCLSID classId, REFGUID documentKind, DWORD messageBase,
                         DWORD classFlags, DWORD bindingOption, const InterfaceArray<IKXFCommand>& commands);
    ~KXFDocumentClassBase() override;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IKXFClassObject
    DWORD STDMETHODCALLTYPE GetMessageBase() override { return messageBase_; }
    HRESULT STDMETHODCALLTYPE GetKind(GUID* kind) override;
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) override { return GetName(name); }
    HRESULT STDMETHODCALLTYPE IsKind(REFGUID kind) override;
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
    DWORD STDMETHODCALLTYPE GetFlags() override { return classFlags_; }

    // ICustomDocClass
    HRESULT STDMETHODCALLTYPE CreateDocument(IUnknown* owner, IUnknown** document) override;
    HRESULT STDMETHODCALLTYPE Reserved1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InstallCommands(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE Reserved2() override { return 0; }
    HRESULT STDMETHODCALLTYPE GetClassId(CLSID* classId) override;
    // Supplied by the concrete class; the base installs nothing.
    HRESULT STDMETHODCALLTYPE InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site) override;

    const CLSID& ClassId() const { return classId_; }
    IUnknown* Binding() const { return binding_.get(); }
    IKXFCommandContainer* CommandContainer() const { return container_.get(); }
    bool CommandsInstalled() const { return installed_; }
    InterfaceArray<IKXFCommand>& Commands() { return commands_; }

protected:
    // Installs one menu command for this class: takes the class's command container
    // from the menu installer (replacing one kept before), creates the command (kind 1,
    // text from the string table, menu path) and adds it; the installed flag is set
    // when the command then has a number.
    HRESULT InstallMenuCommand(IKXFCommandHandler* handler, IUnknown* site, HINSTANCE instance, UINT textId,
                               LPCWSTR menuPath);

    // Commands go to the class binding first; notifications and messages too, as for
    // every other handler.
    IKXFCommandHandler* CommandPreHandler() override { return bindingCommands_.get(); }
    IObserver* BindingObserver() override { return bindingObserver_.get(); }
    IMessageHandler* BindingMessageHandler() override { return bindingHandler_.get(); }

private:
    QLXString name_;
    CLSID classId_;
    GUID documentKind_;
    DWORD messageBase_;
    DWORD classFlags_;
    ComHeld<IUnknown> binding_;
    IKXFClassObject* bindingClassObject_ = nullptr; // not held
    ComHeld<IKXFCommandHandler> bindingCommands_;
    ComHeld<IObserver> bindingObserver_;
    ComHeld<IMessageHandler> bindingHandler_;
    ComHeld<IKXFCommandContainer> container_;
    bool installed_ = false;
    InterfaceArray<IKXFCommand> commands_;
};

// Creates documents of type D, constructed as D(owner, this class).
template <class D>
class KXFDocumentClass : public KXFDocumentClassBase {
public:
    using KXFDocumentClassBase::KXFDocumentClassBase;

    HRESULT STDMETHODCALLTYPE CreateDocument(IUnknown* owner, IUnknown** document) override
    {
        if (!document)
            return E_POINTER;
        *document = nullptr;
        try {
            D* made = new D(owner, this);
            made->AddRef();
            *document = static_cast<ICustomDocument2*>(made);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
};
