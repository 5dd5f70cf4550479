#include "controls/HintSettings.h"

#include "extension/FrameworkServices.h"

#include <mutex>

namespace QLX {

namespace {

bool AskHost()
{
    try {
        auto* host = GetFrameworkService<IHostApplication>(CLSID_HostApplication, IID_IHostApplication);
        IHostSettingsStore* store = nullptr;
        if (!host || FAILED(host->GetSettingsStore(&store)) || !store)
            return true;
        VARIANT_BOOL visible = VARIANT_TRUE;
        const HRESULT hr = store->GetBool(L"qlx\\application\\visible", &visible);
        store->Release();
        return FAILED(hr) || visible != VARIANT_FALSE;
    } catch (...) {
        // A framework that cannot be started offers no settings: hints show.
        return true;
    }
}

} // namespace

bool HostShowsHints()
{
    static std::once_flag asked;
    static bool visible = true;
    std::call_once(asked, [] { visible = AskHost(); });
    return visible;
}

} // namespace QLX
