#include "SetupOptions.h"

#include "CommandLine.h"

namespace VireoHost {
namespace {

struct Option {
    const wchar_t* name;
    bool setupOnly;
    std::wstring* target;
};

} // namespace

bool ParseSetupCommandLine(const std::vector<std::wstring>& args, CommandLine& command, std::wstring& error)
{
    const bool setup = args[0] == L"setup";
    command.verb = setup ? Verb::Setup : Verb::Ui;
    SetupOptions& options = command.setup;
    const Option known[] = {{L"--unit", false, &command.unitIni},
                            {L"--settings", true, &options.settingsPath},
                            {L"--doc", true, &options.documentPath},
                            {L"--script", true, &options.scriptPath},
                            {L"--shots", true, &options.shotsDirectory},
                            {L"--save", true, &command.savePath}};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const Option* option = nullptr;
        for (const Option& candidate : known)
            if (arg == candidate.name && (setup || !candidate.setupOnly))
                option = &candidate;
        if (!option && arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
            error = L"unknown option " + arg + L" of " + args[0];
            return false;
        }
        if (!option) {
            // ui takes the document to open as its one operand.
            if (setup || !options.documentPath.empty()) {
                error = L"wrong number of operands for " + args[0];
                return false;
            }
            options.documentPath = arg;
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = arg + L" needs a value";
            return false;
        }
        if (!option->target->empty()) {
            error = arg + L" given twice";
            return false;
        }
        *option->target = args[++i];
    }
    if (!options.settingsPath.empty() && !options.documentPath.empty()) {
        error = L"--settings and --doc exclude each other";
        return false;
    }
    return true;
}

} // namespace VireoHost
