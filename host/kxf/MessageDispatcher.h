#pragma once
// Message dispatcher: delivers a message to its target's IMessageHandler.

#include "host/kxf/EmbeddedService.h"

#include "hostapi/HostInterfaces.h"

namespace Kxf {

class MessageDispatcher : public EmbeddedService<IKXFMessageDispatcher> {
public:
    explicit MessageDispatcher(IUnknown* outer) : EmbeddedService(outer) {}

    // The handler's answer, or E_NOINTERFACE when the target has no message handler.
    HRESULT STDMETHODCALLTYPE Dispatch(IKXFMessage* message, IUnknown* target) override;
};

} // namespace Kxf
