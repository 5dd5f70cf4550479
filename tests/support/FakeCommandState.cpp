#include "FakeCommandState.h"

#include "LeakCheck.h"

namespace VireoTest {
namespace {

volatile LONG live = 0;

const bool counted = (RegisterLiveCounter("command states", [] { return static_cast<long>(live); }), true);

} // namespace

FakeCommandState::FakeCommandState()
{
    InterlockedIncrement(&live);
}

FakeCommandState::~FakeCommandState()
{
    InterlockedDecrement(&live);
}

HRESULT STDMETHODCALLTYPE FakeCommandState::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IKXFCommandState))
        return E_NOINTERFACE;
    *object = static_cast<IKXFCommandState*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE FakeCommandState::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0)
        delete this;
    return left;
}

} // namespace VireoTest
