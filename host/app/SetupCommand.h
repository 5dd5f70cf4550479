#pragma once
// The setup command: a host document on the unit, started from settings or a saved
// document, then the menu item that opens the setup dialog, chosen as often as the
// script asks, with the dialog's results and the unit calls printed.

#include "CommandLine.h"

#include <windows.h>

#include <string>

namespace VireoHost {

class HostDocument;
class HostSession;
class SimulatedUnit;

class SetupCommand {
public:
    explicit SetupCommand(HostSession& session) : session_(session) {}
    // Exit code as HostSession::Run.
    int Run(const CommandLine& command);

    // A host document on the session's unit, given the settings or document of the
    // options without printing anything for that step; 0 or an exit code.
    static int OpenStarted(HostSession& session, const SetupOptions& options, HostDocument*& document,
                           SimulatedUnit*& unit);
    // The message base of the online events document class.
    static DWORD MessageBase(HostSession& session);

private:
    // Chooses the menu item until the script is done; false when no dialog opened.
    void ChooseUntilDone(DWORD number, HostDocument* document, SimulatedUnit* unit, bool scripted);
    int Finish(const CommandLine& command, HostDocument* document);

    HostSession& session_;
    class ScriptRunner* runner_ = nullptr;
};

} // namespace VireoHost
