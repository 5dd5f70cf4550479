// Menu installer: keeps one command container per document class and routes a menu
// choice to the active document first, then to the document's class.

#include "host/kxf/Commands.h"
#include "host/kxf/Services.h"

#include <mutex>
#include <vector>

namespace Kxf {
namespace {

class MenuInstallerService : public IKXFMenuInstaller {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFMenuInstaller>(this, IID_IKXFMenuInstaller, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetCommandContainer(REFCLSID classId, IKXFCommandHandler* classHandler, IUnknown*,
                                                  IKXFCommandContainer** container) override
    {
        if (!container)
            return E_POINTER;
        *container = nullptr;
        if (!classHandler)
            return E_INVALIDARG;
        std::lock_guard<std::mutex> lock(mutex_);
        for (CommandContainer* kept : containers_) {
            if (IsEqualCLSID(kept->ClassId(), classId)) {
                kept->SetClassHandler(classHandler);
                kept->AddRef();
                *container = kept;
                return S_OK;
            }
        }
        // The class numbers its commands from its message base.
        IKXFClassObject* classObject = nullptr;
        if (FAILED(classHandler->QueryInterface(IID_IKXFClassObject, reinterpret_cast<void**>(&classObject))) ||
            !classObject)
            return E_NOINTERFACE;
        const DWORD messageBase = classObject->GetMessageBase();
        classObject->Release();
        CommandContainer* made = nullptr;
        try {
            made = new CommandContainer(classId, messageBase, classHandler);
            containers_.push_back(made);
        } catch (...) {
            if (made)
                made->Release();
            return E_OUTOFMEMORY;
        }
        made->AddRef();
        *container = made;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE RemoveCommandContainer(REFCLSID classId) override
    {
        CommandContainer* removed = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = containers_.begin(); it != containers_.end(); ++it) {
                if (IsEqualCLSID((*it)->ClassId(), classId)) {
                    removed = *it;
                    containers_.erase(it);
                    break;
                }
            }
        }
        if (!removed)
            return S_FALSE;
        removed->SetClassHandler(nullptr);
        removed->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE FindCommand(DWORD number, IKXFCommand** command) override
    {
        if (!command)
            return E_POINTER;
        CommandContainer* container = ContainerOf(number, command);
        if (!container)
            return E_INVALIDARG;
        container->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE ExecuteCommand(DWORD number, IUnknown* document) override
    {
        IKXFCommand* command = nullptr;
        CommandContainer* container = ContainerOf(number, &command);
        if (!container)
            return E_INVALIDARG;
        command->Release();
        HRESULT answer = KXF_NOT_HANDLED;
        if (IKXFCommandHandler* handler = HandlerOf(document)) {
            answer = handler->Execute(number);
            handler->Release();
        }
        if (answer != KXF_HANDLED && container->ClassHandler())
            answer = container->ClassHandler()->Execute(number);
        container->Release();
        return answer;
    }

    // Without a state object the command's own state is updated.
    HRESULT STDMETHODCALLTYPE UpdateCommand(DWORD number, IUnknown* document, IKXFCommandState* state) override
    {
        IKXFCommand* command = nullptr;
        CommandContainer* container = ContainerOf(number, &command);
        if (!container)
            return E_INVALIDARG;
        IKXFCommandState* own = nullptr;
        if (!state && SUCCEEDED(command->QueryInterface(IID_IKXFCommandState, reinterpret_cast<void**>(&own))))
            state = own;
        command->Release();
        HRESULT answer = KXF_NOT_HANDLED;
        if (IKXFCommandHandler* handler = HandlerOf(document)) {
            answer = handler->Update(number, state);
            handler->Release();
        }
        if (answer != KXF_HANDLED && container->ClassHandler())
            answer = container->ClassHandler()->Update(number, state);
        if (own)
            own->Release();
        container->Release();
        return answer;
    }

private:
    static IKXFCommandHandler* HandlerOf(IUnknown* document)
    {
        IKXFCommandHandler* handler = nullptr;
        if (document && FAILED(document->QueryInterface(IID_IKXFCommandHandler, reinterpret_cast<void**>(&handler))))
            handler = nullptr;
        return handler;
    }

    // The container holding the command of the number, both with a reference.
    CommandContainer* ContainerOf(DWORD number, IKXFCommand** command)
    {
        *command = nullptr;
        std::lock_guard<std::mutex> lock(mutex_);
        for (CommandContainer* container : containers_) {
            if ((*command = container->Find(number)) != nullptr) {
                container->AddRef();
                return container;
            }
        }
        return nullptr;
    }

    std::mutex mutex_;
    std::vector<CommandContainer*> containers_;
};

} // namespace

IKXFMenuInstaller* Services::MenuInstaller()
{
    static MenuInstallerService service;
    return &service;
}

} // namespace Kxf
