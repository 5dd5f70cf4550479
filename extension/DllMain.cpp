// Entry points of Vireo.dll.

#include "extension/FrameworkServices.h"
#include "extension/ModuleUnload.h"
#include "extension/OnlineEventsDocClass.h"
#include "foundation/ModuleInstance.h"
#include "winlib/TModule.h"

#include <exception>

namespace {

// The module object through which the module's windows find their resources: as the
// first live module of this image it is the window library's default.
TModule* g_module = nullptr;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        try {
            g_module = new TModule(nullptr, instance, true);
        } catch (...) {
            g_module = nullptr;
        }
        QLX::SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        // Static destructors run after this, still under the loader lock.
        QLX::NoteProcessDetach(reserved != nullptr);
        OnlineEvents::ReleaseModuleResources();
        delete g_module;
        g_module = nullptr;
        break;
    default:
        break;
    }
    return TRUE;
}

// Called once by the host after loading the library. Failures of starting the
// framework end here as a status: a C++ exception must not leave this module.
extern "C" HRESULT STDAPICALLTYPE DllRegisterClassObjects()
{
    try {
        return OnlineEvents::RegisterClassObjects();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
