#pragma once
// Application object: the program's own module with its name, main window and the
// language its resources are asked in. At most one is current in a process; library
// code that needs "the application" asks Current() and copes with none.

#include "winlib/TModule.h"

class TApplication : public TModule {
public:
    TApplication(const wchar_t* name, HINSTANCE instance = GetModuleHandleW(nullptr), LANGID language = 0);
    ~TApplication() override;

    static TApplication* Current();

    HWND GetMainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    // Also the language string resources are loaded in first (TApplicationLanguage).
    void SetLanguage(LANGID language);

    // The application's name, or the program file's name when there is no application.
    static std::wstring Name();
    // A message box owned as the application's boxes are: by the main window's last
    // active pop-up when there is a main window, else by the active window, task-modal.
    static int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type);

private:
    HWND mainWindow_ = nullptr;
    TApplication* previous_;
};
