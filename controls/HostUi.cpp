#include "controls/HostUi.h"

#include <atomic>

namespace QLX {
namespace {

class NoHost final : public HostUi {
public:
    LANGID UiLanguage() override { return 0; }
    void ShowHelp(const wchar_t*, const wchar_t*) override {}
    bool ShowsHints() override { return true; }
};

NoHost g_noHost;
std::atomic<HostUi*> g_installed{nullptr};

} // namespace

HostUi& GetHostUi()
{
    HostUi* installed = g_installed.load(std::memory_order_acquire);
    return installed ? *installed : g_noHost;
}

void SetHostUi(HostUi* ui)
{
    g_installed.store(ui, std::memory_order_release);
}

} // namespace QLX
