#pragma once
// The built-in self-test, made apart from the framework's declarations.

#include <unknwn.h>

namespace OnlineEvents {

// A new Vireo_EventConfig with one reference for the caller.
IUnknown* CreateSelfTest();

} // namespace OnlineEvents
