#pragma once
// Module object: the instance handle through which a library's resources are loaded,
// with resource lookup by identifier and language. Every live module is listed, so a
// window's instance handle leads back to its module object.

#include <windows.h>

#include <string>

// The file name of a loaded module without folder and extension; null for the program.
std::wstring ModuleBaseName(HINSTANCE instance);

class TModule {
public:
    // With no instance and shouldLoad set, the library called name is loaded and owned.
    TModule(const wchar_t* name, HINSTANCE instance, bool shouldLoad = true);
    virtual ~TModule();
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    HINSTANCE GetHandle() const { return instance_; }
    operator HINSTANCE() const { return instance_; }
    // The name given, else the file name of the image without folder and extension.
    const std::wstring& GetName() const { return name_; }

    // The language the module's resources are chosen in; 0 when the module names none.
    LANGID GetLanguage() const { return language_; }
    void SetLanguage(LANGID language) { language_ = language; }

    // The resource of that type and identifier in language (0: the module's language),
    // else in any language the module has it in; null when the module lacks it.
    HRSRC FindResource(LPCWSTR id, LPCWSTR type, LANGID language = 0) const;
    // The locked resource data and its size in bytes; null when missing.
    const void* LoadResourceData(HRSRC resource, DWORD* size = nullptr) const;
    // A string-table entry (empty when missing).
    std::wstring LoadString(UINT id) const;

    // The live module object of an instance handle, or null.
    static TModule* FindModule(HINSTANCE instance);
    // The module object that made this image's windows when no other is named: the
    // first live module of the image holding this code, else a process-wide fallback.
    static TModule& Default();

private:
    HINSTANCE instance_;
    bool owned_ = false;
    std::wstring name_;
    LANGID language_ = 0;
};
