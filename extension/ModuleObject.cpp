#include "extension/ModuleObject.h"

#include "foundation/ModuleInstance.h"
#include "winlib/TModule.h"

#include <atomic>

namespace QLX {
namespace {
std::atomic<TModule*> g_moduleObject{nullptr};
}

TModule* GetModuleObject()
{
    if (TModule* module = g_moduleObject.load())
        return module;
    const HINSTANCE instance = GetModuleInstance();
    if (TModule* known = TModule::FindModule(instance))
        return known;
    static TModule fallback(nullptr, instance, false);
    return &fallback;
}

void SetModuleObject(TModule* module)
{
    g_moduleObject.store(module);
}

} // namespace QLX
