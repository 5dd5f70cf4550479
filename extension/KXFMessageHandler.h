#pragma once
// Message sending and the message entry point of a handler.

#include "extension/ComAccess.h"
#include "hostapi/HostInterfaces.h"
#include "foundation/QLXString.h"
#include "extension/InterfaceArray.h"

// Sends messages to a target through the framework, and keeps the handlers chained
// behind its owner. The target is the owner itself until the framework connects the
// sender elsewhere.
class KXFMessageSender {
public:
    KXFMessageSender() = default;
    virtual ~KXFMessageSender();
    KXFMessageSender(const KXFMessageSender&) = delete;
    KXFMessageSender& operator=(const KXFMessageSender&) = delete;

    // Creates the message through the framework's message factory and sends it to
    // the target; the option bits are ORed with the request's own.
    HRESULT Send(const KXFMessageRequest& request, DWORD options = 0);
    // Shorthands for a message without a value and with a text.
    HRESULT Send(DWORD number, DWORD options);
    HRESULT Send(DWORD number, DWORD options, const QLXString& text);
    // The send operation: E_FAIL while disabled; otherwise delivers through the
    // framework's dispatcher, with the message marked as sent by this sender.
    HRESULT SendTo(IKXFMessage* message, IUnknown* target);

    IUnknown* Target() { return target_ ? target_ : SenderIdentity(); }
    // A null target returns the sender to its owner.
    void ConnectTarget(IUnknown* target, bool keepReference);
    void ResetTarget() { ConnectTarget(nullptr, false); }

    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    InterfaceArray<IMessageHandler>& ChainedHandlers() { return chained_; }

protected:
    // The owner as seen by the framework: the default target and the origin mark.
    virtual IUnknown* SenderIdentity() = 0;

private:
    IUnknown* target_ = nullptr;
    // target_ with a reference, when the connection keeps one.
    ComHeld<IUnknown> heldTarget_;
    bool enabled_ = true;
    InterfaceArray<IMessageHandler> chained_;
};

// Default message handling: nothing is handled, the rest is not implemented.
class UnimplementedIMessageHandler : public IMessageHandler {
public:
    LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage*) override { return 0; }
    HRESULT STDMETHODCALLTYPE Connect(IUnknown*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown*) override { return E_NOTIMPL; }
};

// The message entry point of a handler: connecting and chaining; the dispatch itself
// belongs to the class that owns the table.
class KXFMessageHandler : public UnimplementedIMessageHandler, public KXFMessageSender {
public:
    ~KXFMessageHandler() override;

    HRESULT STDMETHODCALLTYPE Connect(IUnknown* target, BOOL keepReference) override;
    HRESULT STDMETHODCALLTYPE Chain(IMessageHandler* handler) override;
    // Returns the sender to the handler itself when it pointed at the holder (or always for null).
    HRESULT STDMETHODCALLTYPE Unchain(IUnknown* holder) override;

protected:
    IUnknown* SenderIdentity() override { return static_cast<IMessageHandler*>(this); }
};
