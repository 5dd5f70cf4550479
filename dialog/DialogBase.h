#pragma once
// Base of the module's dialogs and panes: a TDialog whose template is loaded in a chosen
// language. The language is that of the parent window's module; for a pane whose
// module names none, that of its dialog; otherwise the user-interface language the
// host reports. The template is found in the module given, else in the window library's
// default module, the module object of this image.

#include "winlib/TDialog.h"

namespace QLX {

class DialogBase : public TDialog {
public:
    // A pane or dialog inside a window of this library.
    DialogBase(TWindow* parent, int resourceId, TModule* module = nullptr);
    // A dialog owned by a window outside the library (the host's main window).
    DialogBase(HWND parent, int resourceId, TModule* module = nullptr);

    int Execute() override;
    void Create() override;

    // The language a dialog with this parent window is loaded in (0: none chosen).
    static LANGID ChooseLanguage(HWND parent);
    // The language of the module a window belongs to: its object's module, else the
    // module object of its instance handle; 0 when neither names one.
    static LANGID WindowModuleLanguage(HWND window);
    // The template language of a dialog of this library: a pane inside it shows in the
    // language chosen for the dialog, without asking the host once per pane.
    static LANGID DialogLanguage(HWND window);
    // The user-interface language of the host application; 0 when it cannot be asked.
    static LANGID HostLanguage();

private:
    void ChooseTemplateLanguage();
};

} // namespace QLX
