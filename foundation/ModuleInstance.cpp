#include "foundation/ModuleInstance.h"

#include <atomic>

namespace QLX {
namespace {

std::atomic<HINSTANCE> g_instance{nullptr};

} // namespace

HINSTANCE ImageOfThisCode()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ImageOfThisCode), &module);
    return module;
}

HINSTANCE GetModuleInstance()
{
    HINSTANCE instance = g_instance.load();
    return instance ? instance : ImageOfThisCode();
}

void SetModuleInstance(HINSTANCE instance)
{
    g_instance.store(instance);
}

} // namespace QLX
