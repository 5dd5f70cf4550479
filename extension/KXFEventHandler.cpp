#include "extension/KXFEventHandler.h"

#include "extension/ComAccess.h"
#include "extension/KXFObjects.h"

KXFEventHandlerT<1>::KXFEventHandlerT()
{
    // Handlers rely on the registry being there to take them off again.
    KXFObjects::EventHandlerRegistry();
}

KXFEventHandlerT<1>::~KXFEventHandlerT()
{
    // The lookup may throw when the framework cannot be started; nothing may leave here.
    try {
        if (IKXFEventHandlerRegistry* registry = KXFObjects::EventHandlerRegistry())
            registry->RemoveObserver(static_cast<IObserver*>(this));
    } catch (...) {
    }
}

HRESULT KXFEventHandlerT<1>::ExecuteOwn(DWORD number)
{
    const KXFTableEntry* entry = Find(CommandTrigger(number, KXFKind_Execute));
    if (!entry)
        return KXF_NOT_HANDLED;
    Call(*entry, KXFEventArgs{number});
    return KXF_HANDLED;
}

// Without an update entry, a command that can be executed is enabled.
HRESULT KXFEventHandlerT<1>::UpdateOwn(DWORD number, IKXFCommandState* state)
{
    const KXFEventArgs args{number, state};
    if (const KXFTableEntry* entry = Find(CommandTrigger(number, KXFKind_Update))) {
        // Update handlers set the state they are given; there is nothing to set without one.
        if (!state)
            return E_POINTER;
        Call(*entry, args);
        return KXF_HANDLED;
    }
    if (Find(CommandTrigger(number, KXFKind_Execute))) {
        if (state)
            state->Enable(KXFCommand_Enabled);
        return KXF_HANDLED;
    }
    return KXF_NOT_HANDLED;
}

HRESULT KXFEventHandlerT<1>::InvokeOwn(DWORD number, DWORD kind, DWORD_PTR first, DWORD_PTR second)
{
    if (kind > 0xFF)
        return KXF_NOT_HANDLED;
    const KXFTableEntry* entry = Find(CommandTrigger(number, static_cast<uint8_t>(kind)));
    if (!entry)
        return KXF_NOT_HANDLED;
    return Call(*entry, KXFEventArgs{number, nullptr, first, second});
}

IUnknown* KXFEventHandlerT<1>::HandlerInterface(REFIID iid)
{
    if (IsEqualIID(iid, IID_IKXFCommandHandler))
        return static_cast<IKXFCommandHandler*>(this);
    if (IsEqualIID(iid, IID_IObserver))
        return static_cast<IObserver*>(this);
    if (IsEqualIID(iid, IID_IMessageHandler))
        return static_cast<IMessageHandler*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE KXFEventHandlerT<1>::Execute(DWORD number)
{
    try {
        if (IKXFCommandHandler* pre = CommandPreHandler())
            if (pre->Execute(number) == KXF_HANDLED)
                return KXF_HANDLED;
        return ExecuteOwn(number);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE KXFEventHandlerT<1>::Update(DWORD number, IKXFCommandState* state)
{
    try {
        if (IKXFCommandHandler* pre = CommandPreHandler())
            if (pre->Update(number, state) == KXF_HANDLED)
                return KXF_HANDLED;
        return UpdateOwn(number, state);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE KXFEventHandlerT<1>::Invoke(DWORD number, DWORD kind, DWORD_PTR first, DWORD_PTR second)
{
    try {
        if (IKXFCommandHandler* pre = CommandPreHandler())
            if (pre->Invoke(number, kind, first, second) == KXF_HANDLED)
                return KXF_HANDLED;
        return InvokeOwn(number, kind, first, second);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE KXFEventHandlerT<1>::Connect(IUnknown* source)
{
    if (!source)
        return E_POINTER;
    try {
        if (IObserver* binding = BindingObserver())
            binding->Connect(source);
        const ComHeld<IKXFNotificationSource> notifications{
            Ask<IKXFNotificationSource>(source, IID_IKXFNotificationSource)};
        if (!notifications)
            return S_FALSE;
        RegisterAction action(notifications.get(), static_cast<IObserver*>(this));
        ForEachEntry(action);
        return S_OK;
    } catch (...) {
        // A table whose numbers cannot be had throws.
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE KXFEventHandlerT<1>::Notify(IUnknown* source, DWORD number, DWORD_PTR argument, void* payload)
{
    try {
        if (IObserver* binding = BindingObserver())
            binding->Notify(source, number, argument, payload);
        const KXFTableEntry* entry = Find(ObserverEventTrigger(number));
        if (!entry)
            return S_FALSE;
        Call(*entry, KXFEventArgs{number, nullptr, argument, 0, source, payload});
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

LONG STDMETHODCALLTYPE KXFEventHandlerT<1>::HandleMessage(IKXFMessage* message)
{
    if (!message)
        return 0;
    try {
        DWORD flags = 0;
        message->GetFlags(&flags);
        const bool skipOwn = (flags & KXFMessage_SkipOrigin) && message->IsFromTarget(Target()) != 0;
        if (!skipOwn) {
            DWORD number = 0;
            message->GetNumber(&number);
            if (const KXFTableEntry* entry = Find(MsgEventTrigger(number))) {
                if (Call(*entry, KXFEventArgs{number, nullptr, 0, 0, nullptr, nullptr, message}) == 0)
                    return 1;
            }
            // A chained handler may drop out of the list while it handles; hold each.
            InterfaceArray<IMessageHandler>& chained = ChainedHandlers();
            for (int i = 0; i < chained.Count(); ++i) {
                const ComHeld<IMessageHandler> handler = HoldReference(chained[i]);
                if (handler->HandleMessage(message) != 0)
                    return 1;
            }
        }
        IMessageHandler* binding = BindingMessageHandler();
        return binding ? binding->HandleMessage(message) : 0;
    } catch (...) {
        return 0;
    }
}
