#pragma once
// What the module's windows ask of the host they run in. The extension installs the
// host's answers when the module registers; until then, and in code without a host, the
// windows get the answers of a host that offers nothing: no language of its own, no help,
// and hints show.

#include <windows.h>

namespace QLX {

class HostUi {
public:
    // The host's user-interface language; 0 when it cannot say.
    virtual LANGID UiLanguage() = 0;
    // Shows the topic of the help file; does nothing when the host cannot.
    virtual void ShowHelp(const wchar_t* topic, const wchar_t* helpFile) = 0;
    // Whether hint pop-ups show; asked for every hint, so a changed setting takes effect
    // with the next one.
    virtual bool ShowsHints() = 0;

protected:
    ~HostUi() = default;
};

// The installed answers; never null.
HostUi& GetHostUi();
// Installs ui; null goes back to a host that offers nothing. The caller keeps ui alive
// while it is installed.
void SetHostUi(HostUi* ui);

} // namespace QLX
