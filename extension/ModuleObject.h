#pragma once
// The extension's module object: the window library's TModule made on process attach,
// through which the module's dialogs and resources are found.

class TModule;

namespace QLX {

// The module object set on process attach; where none is set (code linked into a program
// rather than the library) a module object of QLX::GetModuleInstance(), kept for the process.
TModule* GetModuleObject();
void SetModuleObject(TModule* module);

} // namespace QLX
