#include "controls/HintSettings.h"

#include "extension/FrameworkServices.h"

#include <mutex>
#include <utility>

namespace QLX {

namespace {

std::once_flag g_storeFetched;
// Held with the reference the host handed out.
IHostSettingsStore* g_store = nullptr;

IHostSettingsStore* FetchStore()
{
    try {
        auto* host = GetFrameworkService<IHostApplication>(CLSID_HostApplication, IID_IHostApplication);
        IHostSettingsStore* store = nullptr;
        if (host && SUCCEEDED(host->GetSettingsStore(&store)))
            return store;
    } catch (...) {
        // A framework that cannot be started offers no settings: hints show.
    }
    return nullptr;
}

} // namespace

bool HostShowsHints()
{
    std::call_once(g_storeFetched, [] { g_store = FetchStore(); });
    // Read every time, so that the host's setting takes effect with the next hint.
    VARIANT_BOOL visible = VARIANT_TRUE;
    return !g_store || FAILED(g_store->GetBool(L"qlx\\application\\visible", &visible)) || visible != VARIANT_FALSE;
}

void ReleaseHintSettings()
{
    if (IHostSettingsStore* store = std::exchange(g_store, nullptr))
        store->Release();
}

} // namespace QLX
