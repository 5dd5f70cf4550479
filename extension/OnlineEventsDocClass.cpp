#include "extension/OnlineEventsDocClass.h"

#include "eventconfig/Vireo_EventConfig.h"
#include "extension/ComAccess.h"
#include "extension/FrameworkHostUi.h"
#include "extension/FrameworkServices.h"
#include "foundation/ModuleInstance.h"
#include "preview/OutputPreview.h"
#include "resources/resource.h"

namespace OnlineEvents {
namespace {

// {D6F52E84-B34D-11D3-80C7-005004AD3C53}
constexpr GUID DocumentKind = {0xD6F52E84, 0xB34D, 0x11D3, {0x80, 0xC7, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53}};
constexpr DWORD ClassFlags = 1;
constexpr DWORD BindingOption = 0;

} // namespace

const wchar_t* const DocClass::MenuPath = L"Setup|&Online Event Detector^OUTPUTEXTS";

DocClass::DocClass()
    : KXFDocumentClass<Doc>(QLXString(L"OnlineEvents Document"), CLSID_OnlineEventsDocument, DocumentKind,
                            Doc::DocumentGroup(), ClassFlags, BindingOption, InterfaceArray<IKXFCommand>())
{}

HRESULT STDMETHODCALLTYPE DocClass::InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site)
{
    try {
        return InstallMenuCommand(handler, site, QLX::GetModuleInstance(), IDS_MENU_COMMAND, MenuPath);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT RegisterClassObjects()
{
    InstallFrameworkHostUi();
    // New objects have no reference of their own; one is held across each hand-over.
    if (auto* registry = GetFrameworkService<IKXFObjectRegistry>(CLSID_KXFFramework, IID_IKXFObjectRegistry)) {
        const ComHeld<DocClass> documentClass = HoldReference(new DocClass);
        registry->RegisterClassObject(static_cast<ICustomDocClass*>(documentClass.get()));
    }
    const ComHeld<Vireo_EventConfig> test = HoldReference(new Vireo_EventConfig);
    if (auto* tests = GetFrameworkService<IUnitTestRegistry>(CLSID_UnitTestRegistry, IID_IUnitTestRegistry))
        tests->AddTest(test.get());
    // The host finds the output preview through COM, as it finds the framework.
    OnlineEvents::RegisterOutputPreview();
    return S_OK;
}

} // namespace OnlineEvents
