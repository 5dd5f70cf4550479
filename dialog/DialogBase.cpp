#include "dialog/DialogBase.h"

#include "controls/HostUi.h"

namespace QLX {

DialogBase::DialogBase(TWindow* parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module ? module : &TModule::Default())
{}

DialogBase::DialogBase(HWND parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module ? module : &TModule::Default())
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
    return GetHostUi().UiLanguage();
}

} // namespace QLX
