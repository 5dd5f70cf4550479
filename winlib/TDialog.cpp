#include "winlib/TDialog.h"

#include <string>

DEFINE_RESPONSE_TABLE(TDialog, TWindow, EV_COMMAND(IDOK, CmOk), EV_COMMAND(IDCANCEL, CmCancel),
                      EV_MESSAGE(WM_COMMAND, EvCommand))

TDialog::TDialog(TWindow* parent, int resourceId, TModule* module, LANGID language)
    : TWindow(parent, static_cast<const wchar_t*>(nullptr), module), templateId_(resourceId), language_(language)
{}

TDialog::TDialog(HWND parent, int resourceId, TModule* module, LANGID language)
    : TWindow(parent, static_cast<const wchar_t*>(nullptr), module), templateId_(resourceId), language_(language)
{}

const DLGTEMPLATE* TDialog::FindTemplate() const
{
    TModule* module = GetModule();
    const HRSRC found = module->FindResource(MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(5), language_);
    const auto* data = static_cast<const DLGTEMPLATE*>(module->LoadResourceData(found));
    if (!data)
        throw TXWindow("no dialog template " + std::to_string(templateId_));
    return data;
}

int TDialog::Execute()
{
    if (GetHandle())
        throw TXWindow("the dialog is already running");
    const DLGTEMPLATE* dialogTemplate = FindTemplate();
    modal_ = true;
    const INT_PTR code = DialogBoxIndirectParamW(GetModule()->GetHandle(), dialogTemplate, GetParentHandle(),
                                                 &TDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    if (code == -1)
        throw TXWindow("the dialog could not be made: " + std::to_string(GetLastError()));
    return static_cast<int>(code);
}

void TDialog::Create()
{
    if (GetHandle())
        return;
    const DLGTEMPLATE* dialogTemplate = FindTemplate();
    modal_ = false;
    const HWND made = CreateDialogIndirectParamW(GetModule()->GetHandle(), dialogTemplate, GetParentHandle(),
                                                 &TDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!made)
        throw TXWindow("the dialog could not be made: " + std::to_string(GetLastError()));
}

INT_PTR CALLBACK TDialog::DialogProcedure(HWND handle, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG)
        return FALSE;
    // From here on the one window procedure answers the dialog's messages; this
    // procedure stays behind it and leaves everything to the system's dialog handling.
    auto* self = reinterpret_cast<TDialog*>(lParam);
    if (!self)
        return TRUE;
    self->Attach(handle, !self->modal_);
    self->PerformSetup();
    return TRUE;
}

void TDialog::CloseWindow(int code)
{
    if (!GetHandle())
        return;
    if (modal_)
        EndDialog(GetHandle(), code);
    else
        DestroyWindow(GetHandle());
}

void TDialog::CmOk()
{
    if (CanClose())
        CloseWindow(IDOK);
}

void TDialog::CmCancel()
{
    CloseWindow(IDCANCEL);
}

LRESULT TDialog::EvCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control && IsWindow(control)) {
        const HWND owner = ::GetParent(control);
        if (owner && owner != GetHandle() && IsChild(GetHandle(), owner))
            return ::SendMessageW(owner, WM_COMMAND, wParam, lParam);
    }
    return DefaultProcessing();
}
