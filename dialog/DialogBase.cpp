#include "dialog/DialogBase.h"

#include "extension/FrameworkServices.h"
#include "extension/ModuleObject.h"

namespace QLX {

DialogBase::DialogBase(TWindow* parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module ? module : GetModuleObject())
{}

DialogBase::DialogBase(HWND parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module ? module : GetModuleObject())
{}

int DialogBase::Execute()
{
    ChooseTemplateLanguage();
    return TDialog::Execute();
}

void DialogBase::Create()
{
    if (GetHandle())
        return;
    ChooseTemplateLanguage();
    TDialog::Create();
}

void DialogBase::ChooseTemplateLanguage()
{
    // The parent window exists only now, so the choice is made at creation.
    SetTemplateLanguage(ChooseLanguage(GetParentHandle()));
}

LANGID DialogBase::ChooseLanguage(HWND parent)
{
    if (const LANGID language = WindowModuleLanguage(parent))
        return language;
    if (const LANGID language = DialogLanguage(parent))
        return language;
    return HostLanguage();
}

LANGID DialogBase::WindowModuleLanguage(HWND window)
{
    if (!window)
        return 0;
    if (TWindow* object = TWindow::FromHandle(window))
        if (object->GetModule() && object->GetModule()->GetLanguage())
            return object->GetModule()->GetLanguage();
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (TModule* module = TModule::FindModule(instance))
        return module->GetLanguage();
    return 0;
}

LANGID DialogBase::DialogLanguage(HWND window)
{
    const auto* dialog = dynamic_cast<const TDialog*>(TWindow::FromHandle(window));
    return dialog ? dialog->GetTemplateLanguage() : 0;
}

LANGID DialogBase::HostLanguage()
{
    try {
        auto* host = GetFrameworkService<IHostApplication>(CLSID_HostApplication, IID_IHostApplication);
        WORD language = 0;
        if (host && SUCCEEDED(host->GetLanguage(&language)))
            return language;
    } catch (...) {
        // No host to ask: the template's own language choice applies.
    }
    return 0;
}

} // namespace QLX
