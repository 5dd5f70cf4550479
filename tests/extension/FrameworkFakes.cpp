#include "FrameworkFakes.h"

#include "support/LeakCheck.h"

#include "extension/QLXComObjectRoot.h"

namespace VireoTest {
namespace {

volatile LONG liveFakes = 0;

// Counted around every test: framework objects, the module's COM objects and the fakes.
const bool registered = [] {
    RegisterLiveCounter("Kxf objects", [] { return KxfLiveObjects(); });
    RegisterLiveCounter("module COM objects", [] { return static_cast<long>(QLX::CComObjectRoot::LiveObjects()); });
    RegisterLiveCounter("test fakes", [] { return LiveFakes(); });
    return true;
}();

} // namespace

long KxfLiveObjects()
{
    HMODULE kxf = GetModuleHandleW(L"Kxf.dll");
    if (!kxf)
        return 0;
    using Count = LONG(WINAPI*)();
    auto count = reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(kxf, "KxfLiveObjects")));
    return count ? count() : 0;
}

long LiveFakes()
{
    return InterlockedCompareExchange(&liveFakes, 0, 0);
}

FakeObject::FakeObject()
{
    InterlockedIncrement(&liveFakes);
}
FakeObject::~FakeObject()
{
    InterlockedDecrement(&liveFakes);
}

HRESULT STDMETHODCALLTYPE FakeHostDocument::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostDocument))
        *object = static_cast<IHostDocument*>(this);
    else if (IsEqualIID(iid, IID_IKXFLink))
        *object = static_cast<IKXFLink*>(this);
    else if (IsEqualIID(iid, IID_IKXFOwnerExtension))
        *object = static_cast<IKXFOwnerExtension*>(this);
    else if (IsEqualIID(iid, IID_IHardwareLink))
        *object = static_cast<IHardwareLink*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeHostDocument::GetLink(REFIID iid, void** link)
{
    // The hardware link is offered; the other host links are not.
    if (IsEqualIID(iid, IID_IHardwareLink))
        return QueryInterface(iid, link);
    *link = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE FakeHostDocument::GetLinkedObject(REFIID iid, void** object)
{
    return QueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE FakeHostDocument::GetCurrentDevice(IDeviceObject** device)
{
    *device = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE FakeChainedHandler::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMessageHandler))
        return E_NOINTERFACE;
    *object = static_cast<IMessageHandler*>(this);
    AddRef();
    return S_OK;
}

LONG STDMETHODCALLTYPE FakeChainedHandler::HandleMessage(IKXFMessage* message)
{
    DWORD number = 0;
    message->GetNumber(&number);
    offered.push_back(number);
    if (number != takes_)
        return 0;
    ++taken;
    return 1;
}

} // namespace VireoTest
