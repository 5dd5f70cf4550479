#pragma once
// Dialog object: a window made from a dialog template of a module, found by id and
// language. Run modally (Execute, which returns the end code) or created as a modeless
// window, for example a child pane inside another dialog. OK (id 1) closes with 1 once
// CanClose agrees; Cancel (id 2) and the close box close with 2.

#include "winlib/TWindow.h"

class TDialog : public TWindow {
public:
    // A dialog inside a parent object's window (or a top-level one when parent is null).
    TDialog(TWindow* parent, int resourceId, TModule* module = nullptr, LANGID language = 0);
    // A dialog owned by a window of another program part (the host's main window).
    TDialog(HWND parent, int resourceId, TModule* module = nullptr, LANGID language = 0);

    // Runs the dialog modally; returns the end code. Throws TXWindow when the template
    // is missing or the dialog cannot be made.
    virtual int Execute();
    // Creates the dialog modeless (a pane when its template has the child style).
    void Create() override;
    // Ends the dialog: a modal one returns code from Execute, a modeless one is destroyed.
    virtual void CloseWindow(int code);
    bool IsModal() const { return modal_; }

    // The template's language and identifier; the language may change until creation.
    LANGID GetTemplateLanguage() const { return language_; }
    void SetTemplateLanguage(LANGID language) { language_ = language; }
    int GetTemplateId() const { return templateId_; }

    // Ends the dialog with 1 when CanClose agrees.
    void CmOk();
    // Ends the dialog with 2.
    void CmCancel();

protected:
    // The dialog manager sends a nested pane's button command (Enter on it) to the
    // top-level dialog; it goes on to the pane that owns the button.
    LRESULT EvCommand(WPARAM wParam, LPARAM lParam);

    // The dialog template resource: in the template language, else in any language.
    const DLGTEMPLATE* FindTemplate() const;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);

    int templateId_;
    LANGID language_;
    bool modal_ = false;

    DECLARE_RESPONSE_TABLE(TDialog)
};
