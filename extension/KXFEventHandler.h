#pragma once
// Command, notification and message dispatch over one static table.

#include "extension/KXFEventTable.h"
#include "extension/KXFMessageHandler.h"

template <int N>
class KXFEventHandlerT;

// The concrete class supplies IUnknown and, through the two hooks, the framework's
// binding: its observer and message handler are asked before and after the table.
template <>
class KXFEventHandlerT<1>
    : public IKXFCommandHandler, public IObserver, public KXFEventHandlerBase, public KXFMessageHandler {
public:
    KXFEventHandlerT();
    ~KXFEventHandlerT() override;

    // IKXFCommandHandler: 0 when handled, 1 when not.
    HRESULT STDMETHODCALLTYPE Execute(DWORD number) override;
    HRESULT STDMETHODCALLTYPE Update(DWORD number, IKXFCommandState* state) override;
    HRESULT STDMETHODCALLTYPE Invoke(DWORD number, DWORD kind, DWORD_PTR first, DWORD_PTR second) override;

    // IObserver
    HRESULT STDMETHODCALLTYPE Connect(IUnknown* source) override;
    HRESULT STDMETHODCALLTYPE Notify(IUnknown* source, DWORD number, DWORD_PTR argument, void* payload) override;

    // IMessageHandler: 1 when the message was handled here or by the framework.
    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage* message) override;
    using KXFMessageHandler::Connect;

protected:
    // This object as the command handler, observer or message handler asked for by
    // QueryInterface; null for any other identifier.
    IUnknown* HandlerInterface(REFIID iid);

    // Asked first with every command request; null when there is none.
    virtual IKXFCommandHandler* CommandPreHandler() { return nullptr; }
    // The framework binding's observer and message handler, or null.
    virtual IObserver* BindingObserver() { return nullptr; }
    virtual IMessageHandler* BindingMessageHandler() { return nullptr; }

    // Own-table command handling, without the pre-handler.
    HRESULT ExecuteOwn(DWORD number);
    HRESULT UpdateOwn(DWORD number, IKXFCommandState* state);
    HRESULT InvokeOwn(DWORD number, DWORD kind, DWORD_PTR first, DWORD_PTR second);
};
