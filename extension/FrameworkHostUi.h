#pragma once
// The host's answers to the module's windows, asked of the host application service.

namespace OnlineEvents {

// Installs the answers for the module's windows (at registration; again does nothing).
void InstallFrameworkHostUi();
// Uninstalls them and lets go of the host's settings store, which is fetched once.
void ReleaseFrameworkHostUi();

} // namespace OnlineEvents
