// Framework service lookup with the framework started in the process when needed.

#include "extension/FrameworkServices.h"

#include <map>
#include <mutex>
#include <string>

namespace {

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

void EnsureFramework()
{
    IUnknown* existing = nullptr;
    if (SUCCEEDED(CoGetClassObject(CLSID_KXFFramework, CLSCTX_ALL, nullptr, IID_IUnknown,
                                   reinterpret_cast<void**>(&existing)))) {
        existing->Release();
        return;
    }
    static std::once_flag once;
    std::call_once(once, [] {
        OleInitialize(nullptr);
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring full(path);
        full = full.substr(0, full.find_last_of(L"\\/") + 1) + L"Kxf.dll";
        HMODULE library = LoadLibraryW(full.c_str());
        auto entry = library ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
                                   GetProcAddress(library, "DllGetClassObject"))
                             : nullptr;
        if (!entry)
            return;
        IUnknown* framework = nullptr;
        if (FAILED(entry(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&framework))))
            return;
        DWORD cookie = 0;
        CoRegisterClassObject(CLSID_KXFFramework, framework, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
        framework->Release();
    });
}

void* GetFrameworkService(REFCLSID clsid, REFIID iid)
{
    static std::map<std::pair<std::wstring, std::wstring>, void*> cache;
    wchar_t c[40], i[40];
    StringFromGUID2(clsid, c, 40);
    StringFromGUID2(iid, i, 40);
    std::lock_guard<std::mutex> guard(Lock());
    auto& slot = cache[{c, i}];
    if (slot)
        return slot;
    void* found = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_ALL, nullptr, iid, &found))) {
        EnsureFramework();
        if (FAILED(CoGetClassObject(clsid, CLSCTX_ALL, nullptr, iid, &found)))
            found = nullptr;
    }
    if (found)
        static_cast<IUnknown*>(found)->Release();
    slot = found;
    return found;
}
