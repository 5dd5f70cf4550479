#include "extension/FrameworkHostUi.h"

#include "controls/HostUi.h"
#include "extension/ComAccess.h"
#include "extension/FrameworkServices.h"

#include <mutex>

namespace OnlineEvents {
namespace {

// No answer may throw into a window: a framework that cannot be started offers nothing.
IHostApplication* HostApplication()
{
    try {
        return GetFrameworkService<IHostApplication>(CLSID_HostApplication, IID_IHostApplication);
    } catch (...) {
        return nullptr;
    }
}

class FrameworkHostUi final : public QLX::HostUi {
public:
    LANGID UiLanguage() override
    {
        WORD language = 0;
        IHostApplication* host = HostApplication();
        return host && SUCCEEDED(host->GetLanguage(&language)) ? language : 0;
    }

    void ShowHelp(const wchar_t* topic, const wchar_t* helpFile) override
    {
        if (IHostApplication* host = HostApplication())
            host->ShowHelp(topic, helpFile);
    }

    // "qlx\application\visible", read each time from the store fetched once per process.
    bool ShowsHints() override
    {
        std::call_once(storeFetched_, [this] { store_.reset(FetchStore()); });
        VARIANT_BOOL visible = VARIANT_TRUE;
        return !store_ || FAILED(store_->GetBool(L"qlx\\application\\visible", &visible)) || visible != VARIANT_FALSE;
    }

    void ReleaseStore() { store_.reset(); }

private:
    static IHostSettingsStore* FetchStore()
    {
        IHostApplication* host = HostApplication();
        IHostSettingsStore* store = nullptr;
        return host && SUCCEEDED(host->GetSettingsStore(&store)) ? store : nullptr;
    }

    std::once_flag storeFetched_;
    ComHeld<IHostSettingsStore> store_;
};

// Never destroyed: when the process ends, the host's store may be gone before this
// module's statics; an ordinary unload releases the store first.
FrameworkHostUi& TheHostUi()
{
    static FrameworkHostUi* const ui = new FrameworkHostUi;
    return *ui;
}

} // namespace

void InstallFrameworkHostUi()
{
    QLX::SetHostUi(&TheHostUi());
}

void ReleaseFrameworkHostUi()
{
    QLX::SetHostUi(nullptr);
    TheHostUi().ReleaseStore();
}

} // namespace OnlineEvents
