// Message dispatcher.

#include "host/kxf/MessageDispatcher.h"

namespace Kxf {

HRESULT STDMETHODCALLTYPE MessageDispatcher::Dispatch(IKXFMessage* message, IUnknown* target)
{
    if (!message || !target)
        return E_POINTER;
    IMessageHandler* handler = nullptr;
    if (FAILED(target->QueryInterface(IID_IMessageHandler, reinterpret_cast<void**>(&handler))) || !handler)
        return E_NOINTERFACE;
    const LONG answer = handler->HandleMessage(message);
    handler->Release();
    return answer;
}

} // namespace Kxf
