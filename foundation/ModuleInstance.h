#pragma once
// The instance handle through which the module's own resources are loaded.

#include <windows.h>

namespace QLX {

// The module object's instance once one is set; until then the image that holds
// this code (the test executable when the library is linked into tests).
HINSTANCE GetModuleInstance();
void SetModuleInstance(HINSTANCE instance);
// The executable or library image that holds this code.
HINSTANCE ImageOfThisCode();

} // namespace QLX
