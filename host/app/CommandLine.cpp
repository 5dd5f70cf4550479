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
           L" | preview [--unit UNIT.ini] SETTINGS.txt (--signal FILE.csv | --synth SHAPES) [--seconds S] [--rate HZ]"
           L" [--plot OUT.png]";
}

namespace {

// What a verb takes besides its name.
struct VerbForm {
    const wchar_t* name;
    Verb verb;
    bool unitAllowed;
    bool saveAllowed;
    size_t minOperands;
    size_t maxOperands;
};

const VerbForm* FindVerb(const std::wstring& name)
{
    static const VerbForm forms[] = {
        {L"apply", Verb::Apply, true, true, 1, 1},
        {L"load", Verb::Load, true, false, 1, 1},
        {L"stream", Verb::Stream, false, false, 1, 1},
        {L"notify", Verb::Notify, true, false, 2, static_cast<size_t>(-1)},
        {L"selftest", Verb::SelfTest, false, false, 0, 0},
        {L"demo", Verb::Demo, true, false, 2, 2},
        {L"preview", Verb::Preview, true, false, 1, 1},
    };
    for (const VerbForm& form : forms)
        if (name == form.name)
            return &form;
    return nullptr;
}

// Takes the options into the command and leaves the operands.
bool ReadOptions(const std::vector<std::wstring>& args, const VerbForm& form, CommandLine& command,
                 std::vector<std::wstring>& operands, std::wstring& error)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--unit" || arg == L"--save") {
            const bool unit = arg == L"--unit";
            if ((unit && !form.unitAllowed) || (!unit && !form.saveAllowed)) {
                error = arg + L" is not an option of " + args[0];
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
    return true;
}

bool TakeOperands(const std::vector<std::wstring>& operands, CommandLine& command, std::wstring& error)
{
    if (command.verb == Verb::Demo) {
        command.input = operands[0];
        command.savePath = operands[1];
    } else if (!operands.empty()) {
        command.input = operands[0];
    }
    if (command.verb != Verb::Notify)
        return true;
    for (size_t i = 1; i < operands.size(); ++i) {
        const NotificationName* event = FindNotification(operands[i]);
        if (!event) {
            error = L"unknown notification " + operands[i];
            return false;
        }
        command.events.push_back(event);
    }
    return true;
}

} // namespace

bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine& command, std::wstring& error)
{
    if (args.empty()) {
        error = L"no command given";
        return false;
    }
    if (args[0] == L"setup" || args[0] == L"ui")
        return ParseSetupCommandLine(args, command, error);
    const VerbForm* form = FindVerb(args[0]);
    if (!form) {
        error = L"unknown command " + args[0];
        return false;
    }
    command.verb = form->verb;
    std::vector<std::wstring> operands;
    if (!ReadOptions(args, *form, command, operands, error))
        return false;
    if (operands.size() < form->minOperands || operands.size() > form->maxOperands) {
        error = L"wrong number of operands for " + args[0];
        return false;
    }
    if (command.verb == Verb::Preview && !CheckPreviewOptions(command.preview, error))
        return false;
    return TakeOperands(operands, command, error);
}

} // namespace VireoHost
