#pragma once
// The operands of the setup and ui commands, which open the setup dialog through
// the host's menu.

#include <string>
#include <vector>

namespace VireoHost {

struct SetupOptions {
    // What the document starts from: a settings text to apply or a host document to load.
    std::wstring settingsPath;
    std::wstring documentPath;
    std::wstring scriptPath;
    // Where shot actions write their pictures; empty: no pictures.
    std::wstring shotsDirectory;
};

struct CommandLine;

// Parses "setup ..." and "ui ..." (args[0] is the verb); false with a one-line reason.
bool ParseSetupCommandLine(const std::vector<std::wstring>& args, CommandLine& command, std::wstring& error);

} // namespace VireoHost
