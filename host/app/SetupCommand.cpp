#include "SetupCommand.h"

#include "DialogShot.h"
#include "DialogWatch.h"
#include "HostDocument.h"
#include "HostMenu.h"
#include "HostSession.h"
#include "HostText.h"
#include "ScriptRunner.h"
#include "SimulatedUnit.h"
#include "hostapi/OnlineEvents.h"

#include <cstdio>
#include <memory>

namespace VireoHost {
namespace {

const wchar_t SetupMenu[] = L"Setup";

void PrintWide(const std::wstring& line)
{
    PrintLine(Utf8(line));
}

// Parses the script file; exit code 2 with one line on standard error when it is bad.
int ReadScript(const std::wstring& path, std::vector<ScriptAction>& actions)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        PrintError(L"cannot read " + path);
        return 2;
    }
    const ScriptResult parsed = ParseScript(FromUtf8(bytes), actions);
    if (!parsed.ok) {
        PrintError(path + L" line " + std::to_wstring(parsed.line) + L": " + parsed.message);
        return 2;
    }
    return 0;
}

void PrintCalls(SimulatedUnit* unit)
{
    for (const UnitCall& call : unit->Calls())
        PrintLine(CallLine(call));
    unit->ClearCalls();
}

} // namespace

DWORD SetupCommand::MessageBase(HostSession& session)
{
    return session.Group(CLSID_OnlineEventsDocument);
}

int SetupCommand::OpenStarted(HostSession& session, const SetupOptions& options, HostDocument*& document,
                              SimulatedUnit*& unit)
{
    std::string settings;
    if (!options.settingsPath.empty() && !ReadFileBytes(options.settingsPath, settings)) {
        PrintError(L"cannot read " + options.settingsPath);
        return 2;
    }
    document = session.OpenDocument(session.model_, unit);
    if (!document)
        return 3;
    int result = 0;
    if (!options.settingsPath.empty())
        session.ApplySettings(document, FromUtf8(settings));
    else if (!options.documentPath.empty())
        result = session.LoadInto(document, options.documentPath);
    unit->ClearCalls();
    if (result != 0) {
        document->Close();
        document->Release();
        unit->Release();
        document = nullptr;
        unit = nullptr;
    }
    return result;
}

int SetupCommand::Run(const CommandLine& command)
{
    const SetupOptions& options = command.setup;
    std::vector<ScriptAction> actions;
    const bool scripted = !options.scriptPath.empty();
    if (scripted && ReadScript(options.scriptPath, actions) != 0)
        return 2;
    if (!scripted && !HasDisplay()) {
        PrintError(L"setup without --script waits for a person and needs a display");
        return 2;
    }
    if (!options.shotsDirectory.empty())
        CreateDirectoryW(options.shotsDirectory.c_str(), nullptr);
    HostDocument* document = nullptr;
    SimulatedUnit* unit = nullptr;
    const int started = OpenStarted(session_, options, document, unit);
    if (started != 0)
        return started;
    MenuCommand setup;
    if (!FindMenuCommand(MessageBase(session_), SetupMenu, setup)) {
        PrintError(L"the module installed no command in the Setup menu");
        document->Close();
        document->Release();
        unit->Release();
        return 1;
    }
    ScriptRunner runner(session_.mainWindow_, actions, options.shotsDirectory, PrintWide);
    runner_ = &runner;
    if (scripted)
        runner.Start();
    ChooseUntilDone(setup.number, document, unit, scripted);
    runner.Stop();
    runner_ = nullptr;
    const int result = Finish(command, document);
    unit->Release();
    return result;
}

void SetupCommand::ChooseUntilDone(DWORD number, HostDocument* document, SimulatedUnit* unit, bool scripted)
{
    for (;;) {
        DialogWatch watch;
        ChooseCommand(number, document->ModuleDocument());
        if (watch.Opened())
            PrintLine("DialogResult " + std::to_string(watch.Result()));
        PrintCalls(unit);
        // A setup that stopped before its dialog would stop the same way again.
        if (!watch.Opened() || !scripted || !runner_->HasActionsLeft())
            return;
    }
}

int SetupCommand::Finish(const CommandLine& command, HostDocument* document)
{
    const int result = session_.PrintSettings(document) ? 0 : 1;
    return HostSession::SaveAndClose(document, command.savePath, result);
}

} // namespace VireoHost
