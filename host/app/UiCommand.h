#pragma once
// The ui command: the host's main window with its menus for a person at a display.

#include "CommandLine.h"

namespace VireoHost {

class HostSession;

class UiCommand {
public:
    explicit UiCommand(HostSession& session) : session_(session) {}
    // Exit code as HostSession::Run.
    int Run(const CommandLine& command);

private:
    HostSession& session_;
};

} // namespace VireoHost
