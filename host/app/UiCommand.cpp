#include "UiCommand.h"

#include "DialogShot.h"
#include "HostDocument.h"
#include "HostSession.h"
#include "HostWindow.h"
#include "SetupCommand.h"
#include "SimulatedUnit.h"

namespace VireoHost {
namespace {

// The window's document and unit, replaced when the person opens another file.
struct OpenDocument {
    HostDocument* document = nullptr;
    SimulatedUnit* unit = nullptr;
    void Close()
    {
        if (document) {
            document->Close();
            document->Release();
        }
        if (unit)
            unit->Release();
        document = nullptr;
        unit = nullptr;
    }
};

} // namespace

int UiCommand::Run(const CommandLine& command)
{
    if (!HasDisplay()) {
        PrintError(L"ui needs a display");
        return 2;
    }
    OpenDocument open;
    const int started = SetupCommand::OpenStarted(session_, command.setup, open.document, open.unit);
    if (started != 0)
        return started;
    HostWindow* shown = nullptr;
    HostWindow::FileActions files;
    files.open = [&](const std::wstring& path) -> std::wstring {
        SetupOptions options;
        options.documentPath = path;
        OpenDocument next;
        if (SetupCommand::OpenStarted(session_, options, next.document, next.unit) != 0)
            return L"Cannot open " + path;
        open.Close();
        open = next;
        shown->SetDocument(open.document, open.unit);
        return L"Opened " + path;
    };
    files.save = [&](const std::wstring& path) -> std::wstring {
        std::wstring error;
        return FAILED(open.document->Save(path, error)) ? error : L"Saved " + path;
    };
    HostWindow window(session_.mainWindow_, SetupCommand::MessageBase(session_), files);
    shown = &window;
    window.SetDocument(open.document, open.unit);
    window.Log(L"Unit: " + session_.model_.name);
    ShowWindow(session_.mainWindow_, SW_SHOWNORMAL);
    UpdateWindow(session_.mainWindow_);
    window.RunUntilClosed();
    open.Close();
    return 0;
}

} // namespace VireoHost
