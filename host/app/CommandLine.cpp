#include "CommandLine.h"

namespace VireoHost {

const std::vector<NotificationName>& NotificationNames()
{
    static const std::vector<NotificationName> names = {
        {L"attach", false, 13, false, 0}, {L"device", true, 18, false, 0},  {L"start", false, 15, false, 0},
        {L"stop", false, 16, false, 0},   {L"settings", false, 0, true, 1}, {L"settings0", false, 0, true, 0},
    };
    return names;
}

const NotificationName* FindNotification(const std::wstring& name)
{
    for (const NotificationName& entry : NotificationNames())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

const wchar_t* Usage()
{
    return L"usage: VireoHost.exe apply [--unit UNIT.ini] SETTINGS.txt [--save DOC]"
           L" | load [--unit UNIT.ini] FILE | stream DOC | notify [--unit UNIT.ini] FILE EVENT..."
           L" | selftest | demo [--unit UNIT.ini] SETTINGS.txt DOC"
           L" | setup [--unit UNIT.ini] [--settings SETTINGS.txt | --doc DOC] [--script SCRIPT] [--shots DIR]"
           L" [--save DOC] | ui [--unit UNIT.ini] [DOC]"

           L" | preview [--unit UNIT.ini] SETTINGS.txt (--signal FILE.csv | --synth SPEC) [--seconds S] [--rate HZ]"
           L" [--plot OUT.png]";
}

bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine& command, std::wstring& error)
{
    if (args.empty()) {
        error = L"no command given";
        return false;
    }
    const std::wstring& verb = args[0];
    if (verb == L"setup" || verb == L"ui")
        return ParseSetupCommandLine(args, command, error);
    bool unitAllowed = true;
    bool saveAllowed = false;
    size_t minOperands = 1;
    size_t maxOperands = 1;
    if (verb == L"apply") {
        command.verb = Verb::Apply;
        saveAllowed = true;
    } else if (verb == L"load") {
        command.verb = Verb::Load;
    } else if (verb == L"stream") {
        command.verb = Verb::Stream;
        unitAllowed = false;
    } else if (verb == L"notify") {
        command.verb = Verb::Notify;
        minOperands = 2;
        maxOperands = static_cast<size_t>(-1);
    } else if (verb == L"selftest") {
        command.verb = Verb::SelfTest;
        unitAllowed = false;
        minOperands = maxOperands = 0;
    } else if (verb == L"demo") {
        command.verb = Verb::Demo;
        minOperands = maxOperands = 2;
    } else if (verb == L"preview") {
        command.verb = Verb::Preview;
    } else {
        error = L"unknown command " + verb;
        return false;
    }

    std::vector<std::wstring> operands;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--unit" || arg == L"--save") {
            const bool unit = arg == L"--unit";
            if ((unit && !unitAllowed) || (!unit && !saveAllowed)) {
                error = arg + L" is not an option of " + verb;
                return false;
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + L" needs a file";
                return false;
            }
            std::wstring& target = unit ? command.unitIni : command.savePath;
            if (!target.empty()) {
                error = arg + L" given twice";
                return false;
            }
            target = args[++i];
        } else if (command.verb == Verb::Preview && IsPreviewOption(arg)) {
            if (!ParsePreviewOption(args, i, command.preview, error))
                return false;
        } else if (arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
            error = L"unknown option " + arg;
            return false;
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() < minOperands || operands.size() > maxOperands) {
        error = L"wrong number of operands for " + verb;
        return false;
    }
    if (command.verb == Verb::Preview && !CheckPreviewOptions(command.preview, error))
        return false;
    if (command.verb == Verb::Demo) {
        command.input = operands[0];
        command.savePath = operands[1];
    } else if (!operands.empty()) {
        command.input = operands[0];
    }
    if (command.verb == Verb::Notify) {
        for (size_t i = 1; i < operands.size(); ++i) {
            const NotificationName* event = FindNotification(operands[i]);
            if (!event) {
                error = L"unknown notification " + operands[i];
                return false;
            }
            command.events.push_back(event);
        }
    }
    return true;
}

} // namespace VireoHost
