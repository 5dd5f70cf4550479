// Identifier registry: hands out one 16-bit group per GUID for the life of the process.

#include "Services.h"

#include <mutex>
#include <vector>

namespace Kxf {
namespace {

class IdRegistryService : public IKXFIdRegistry {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IKXFIdRegistry))
            return Answer<IKXFIdRegistry>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetIdGroup(REFGUID id, WORD* group) override
    {
        if (!group)
            return E_POINTER;
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < ids_.size(); ++i) {
            if (IsEqualGUID(ids_[i], id)) {
                *group = static_cast<WORD>(FirstGroup + i);
                return S_OK;
            }
        }
        if (FirstGroup + ids_.size() > 0xFFFF) {
            *group = 0;
            return E_OUTOFMEMORY;
        }
        ids_.push_back(id);
        *group = static_cast<WORD>(FirstGroup + ids_.size() - 1);
        return S_OK;
    }

private:
    // Groups below this are left to the framework's own numbers.
    static constexpr size_t FirstGroup = 0x100;
    std::mutex mutex_;
    std::vector<GUID> ids_;
};

} // namespace

IKXFIdRegistry* IdRegistry()
{
    static IdRegistryService service;
    return &service;
}

} // namespace Kxf
