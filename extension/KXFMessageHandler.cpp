#include "extension/KXFMessageHandler.h"

#include "extension/KXFObjects.h"

KXFMessageSender::~KXFMessageSender()
{
    ResetTarget();
}

HRESULT KXFMessageSender::Send(const KXFMessageRequest& request, DWORD options)
{
    IKXFMessageFactory* factory = KXFObjects::MessageFactory();
    if (!factory)
        return E_FAIL;
    ComHeld<IKXFMessage> message;
    const HRESULT hr = Receive(message, [&](IKXFMessage** out) {
        return factory->CreateMessage(request.number, options | request.options, 0, 0, &request.value, out);
    });
    if (FAILED(hr) || !message)
        return FAILED(hr) ? hr : E_FAIL;
    return SendTo(message.get(), Target());
}

HRESULT KXFMessageSender::Send(DWORD number, DWORD options)
{
    KXFMessageRequest request = {number, 0, {KXFValue_None, nullptr}};
    return Send(request, options);
}

HRESULT KXFMessageSender::Send(DWORD number, DWORD options, const QLXString& text)
{
    KXFMessageRequest request = {number, 0, {KXFValue_Text, text.Rep()}};
    return Send(request, options);
}

HRESULT KXFMessageSender::SendTo(IKXFMessage* message, IUnknown* target)
{
    if (!enabled_)
        return E_FAIL;
    if (!message)
        return E_POINTER;
    IKXFMessageDispatcher* dispatcher = KXFObjects::MessageDispatcher();
    if (!dispatcher)
        return E_FAIL;
    message->SetOrigin(SenderIdentity());
    const HRESULT hr = dispatcher->Dispatch(message, target);
    message->SetOrigin(nullptr);
    return hr;
}

void KXFMessageSender::ConnectTarget(IUnknown* target, bool keepReference)
{
    // The previous target goes last: letting go of it may end the new one's holder.
    const ComHeld<IUnknown> previous = std::move(heldTarget_);
    target_ = target;
    if (keepReference)
        heldTarget_ = HoldReference(target);
}

KXFMessageHandler::~KXFMessageHandler()
{
    ResetTarget();
    InterfaceArray<IMessageHandler>& chained = ChainedHandlers();
    for (int i = 0; i < chained.Count(); ++i)
        chained[i]->Unchain(nullptr);
    chained.Clear();
}

HRESULT STDMETHODCALLTYPE KXFMessageHandler::Connect(IUnknown* target, BOOL keepReference)
{
    ConnectTarget(target, keepReference != FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFMessageHandler::Chain(IMessageHandler* handler)
{
    if (!handler)
        return E_POINTER;
    try {
        ChainedHandlers().Add(handler);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE KXFMessageHandler::Unchain(IUnknown* holder)
{
    if (!holder || Target() == holder)
        ResetTarget();
    return S_OK;
}
