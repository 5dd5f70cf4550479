#include "winlib/TModule.h"

#include "foundation/ModuleInstance.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex& ModulesLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<TModule*>& LiveModules()
{
    static std::vector<TModule*> modules;
    return modules;
}

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found)
{
    *reinterpret_cast<LANGID*>(found) = language;
    return FALSE;
}

} // namespace

std::wstring ModuleBaseName(HINSTANCE instance)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    const auto slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

TModule::TModule(const wchar_t* name, HINSTANCE instance, bool shouldLoad) : instance_(instance)
{
    if (!instance_ && shouldLoad && name && *name) {
        instance_ = LoadLibraryW(name);
        owned_ = instance_ != nullptr;
    }
    name_ = name && *name ? std::wstring(name) : ModuleBaseName(instance_);
    std::lock_guard<std::mutex> guard(ModulesLock());
    LiveModules().push_back(this);
}

TModule::~TModule()
{
    {
        std::lock_guard<std::mutex> guard(ModulesLock());
        auto& modules = LiveModules();
        modules.erase(std::remove(modules.begin(), modules.end(), this), modules.end());
    }
    if (owned_)
        FreeLibrary(instance_);
}

HRSRC TModule::FindResource(LPCWSTR id, LPCWSTR type, LANGID language) const
{
    if (!instance_)
        return nullptr;
    if (!language)
        language = language_;
    HRSRC found = nullptr;
    if (language)
        found = FindResourceExW(instance_, type, id, language);
    if (!found)
        found = ::FindResourceW(instance_, id, type);
    if (!found) {
        // The system's own order did not reach it: take whichever language there is.
        LANGID any = 0;
        EnumResourceLanguagesW(instance_, type, id, TakeFirstLanguage, reinterpret_cast<LONG_PTR>(&any));
        if (any)
            found = FindResourceExW(instance_, type, id, any);
    }
    return found;
}

const void* TModule::LoadResourceData(HRSRC resource, DWORD* size) const
{
    if (size)
        *size = 0;
    if (!resource)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance_, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && size)
        *size = SizeofResource(instance_, resource);
    return data;
}

std::wstring TModule::LoadString(UINT id) const
{
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

TModule* TModule::FindModule(HINSTANCE instance)
{
    std::lock_guard<std::mutex> guard(ModulesLock());
    for (TModule* module : LiveModules())
        if (module->instance_ == instance)
            return module;
    return nullptr;
}

TModule& TModule::Default()
{
    const HINSTANCE image = QLX::ImageOfThisCode();
    if (TModule* module = FindModule(image))
        return *module;
    static TModule fallback(nullptr, image, false);
    return fallback;
}
