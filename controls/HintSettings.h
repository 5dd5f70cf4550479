#pragma once
// Whether the host lets hint pop-ups show.

namespace QLX {

// The host settings store's "qlx\application\visible", read each time from the store,
// which is fetched once per process from the host application service; true when the
// host offers no service, no store or no answer.
bool HostShowsHints();

// Lets go of the store when the module unloads.
void ReleaseHintSettings();

} // namespace QLX
