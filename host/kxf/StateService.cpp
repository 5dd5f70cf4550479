// State service: the host's lock flag for its setup commands.

#include "host/kxf/Services.h"
#include "hostapi/OnlineEvents.h"

namespace Kxf {
namespace {

class StateServiceObject : public IKXFStateService {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFStateService>(this, IID_IKXFStateService, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetLockFlag(WORD* locked) override
    {
        if (!locked)
            return E_POINTER;
        *locked = static_cast<WORD>(InterlockedCompareExchange(&locked_, 0, 0));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetLockFlag(WORD locked) override
    {
        InterlockedExchange(&locked_, locked);
        return S_OK;
    }

private:
    volatile LONG locked_ = 0;
};

} // namespace

IKXFStateService* Services::StateService()
{
    static StateServiceObject service;
    return &service;
}

WORD Services::StateServiceGroup()
{
    WORD group = 0;
    Services::IdRegistry()->GetIdGroup(GUID_DeviceEventGroup, &group);
    return group;
}

} // namespace Kxf
