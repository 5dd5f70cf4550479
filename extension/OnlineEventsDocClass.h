#pragma once
// The document class "OnlineEvents Document": the framework's factory of online
// events documents, which also installs their menu command.

#include "extension/KXFDocumentClass.h"
#include "extension/OnlineEventsDoc.h"

namespace OnlineEvents {

class DocClass : public KXFDocumentClass<Doc> {
public:
    DocClass();

    HRESULT STDMETHODCALLTYPE InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site) override;

    // The menu path of the setup command, with its placement group after the caret.
    static const wchar_t* const MenuPath;
};

// The extension's registration: the document class with the framework's class
// registry, the self-test with the host's unit-test registry. A registry that
// cannot be had is skipped.
HRESULT RegisterClassObjects();

} // namespace OnlineEvents
