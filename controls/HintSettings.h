#pragma once
// Whether the host lets hint pop-ups show.

namespace QLX {

// The host settings store's "qlx\application\visible", asked once per process through the
// host application service; true when the host offers no service, no store or no answer.
bool HostShowsHints();

} // namespace QLX
