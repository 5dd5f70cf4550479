#pragma once
// What the module lets go of when the host unloads it while the process goes on.

namespace OnlineEvents {

// Revokes the module's own class-object registration, releases the host's settings store
// and frees the libraries the module loaded, so that nothing points into its image once it
// is gone. Does nothing when the process is ending (QLX::NoteProcessDetach): the loader
// lock is held then, other libraries may be gone already, and the process takes it all.
void ReleaseModuleResources();

} // namespace OnlineEvents
