#pragma once
// The identifier registry: one 16-bit group per GUID for the life of the process.

#include "hostapi/HostInterfaces.h"
#include "host/kxf/EmbeddedService.h"

#include <map>

namespace Kxf {

class IdRegistry : public EmbeddedService<IKXFIdRegistry> {
public:
    // Groups from 0x8000 up are the framework's own object numbers, so groups stay below.
    static constexpr WORD FirstGroup = 0x0100;
    static constexpr WORD EndGroup = 0x8000;

    explicit IdRegistry(IUnknown* outer);
    ~IdRegistry();

    HRESULT STDMETHODCALLTYPE GetIdGroup(REFGUID id, WORD* group) override;

private:
    struct GuidLess {
        bool operator()(const GUID& a, const GUID& b) const;
    };

    CRITICAL_SECTION lock_;
    std::map<GUID, WORD, GuidLess> groups_;
    WORD next_ = FirstGroup;
};

} // namespace Kxf
