#include "extension/ModuleUnload.h"

#include "controls/ThemeLibrary.h"
#include "extension/FrameworkHostUi.h"
#include "extension/FrameworkServices.h"
#include "preview/OutputPreview.h"

namespace OnlineEvents {

void ReleaseModuleResources()
{
    if (QLX::ProcessTerminating())
        return;
    RevokeOutputPreview();
    ReleaseFrameworkHostUi();
    QLX::ThemeLibrary::Unload();
    // Last: the framework keeps objects of this module until its library goes.
    QLX::ReleaseFrameworkLibrary();
}

} // namespace OnlineEvents
