#pragma once
// Module object: the instance handle through which a library's resources are loaded.

#include <windows.h>

class TModule {
public:
    TModule(const wchar_t* name, HINSTANCE instance, bool shouldLoad = true);
    virtual ~TModule();

    HINSTANCE GetHandle() const { return instance_; }
    operator HINSTANCE() const { return instance_; }

private:
    HINSTANCE instance_;
};
