#include "host/kxf/IdRegistry.h"

#include <cstring>

namespace Kxf {

bool IdRegistry::GuidLess::operator()(const GUID& a, const GUID& b) const
{
    return std::memcmp(&a, &b, sizeof(GUID)) < 0;
}

IdRegistry::IdRegistry(IUnknown* outer) : EmbeddedService(outer)
{
    InitializeCriticalSection(&lock_);
}

IdRegistry::~IdRegistry()
{
    DeleteCriticalSection(&lock_);
}

HRESULT STDMETHODCALLTYPE IdRegistry::GetIdGroup(REFGUID id, WORD* group)
{
    if (!group)
        return E_POINTER;
    *group = 0;
    HRESULT result = S_OK;
    EnterCriticalSection(&lock_);
    try {
        auto found = groups_.find(id);
        if (found != groups_.end()) {
            *group = found->second;
        } else if (next_ >= EndGroup) {
            result = E_OUTOFMEMORY;
        } else {
            groups_.emplace(id, next_);
            *group = next_++;
        }
    } catch (...) {
        result = E_OUTOFMEMORY;
    }
    LeaveCriticalSection(&lock_);
    return result;
}

} // namespace Kxf
