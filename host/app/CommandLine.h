#pragma once
// The host program's command line: one verb and its operands.

#include "PreviewCommand.h"
#include "SetupOptions.h"

#include <string>
#include <vector>

namespace VireoHost {

enum class Verb { Apply, Load, Stream, Notify, SelfTest, Demo, Setup, Ui, Preview };

// A unit notification that the notify verb can raise, by its command-line name.
struct NotificationName {
    const wchar_t* name;
    bool deviceGroup; // device event group instead of the unit event group
    int offset;
    bool hasFlag;
    unsigned char flag;
};

// Every name the notify verb accepts, in a fixed order.
const std::vector<NotificationName>& NotificationNames();
const NotificationName* FindNotification(const std::wstring& name);

struct CommandLine {
    Verb verb = Verb::SelfTest;
    std::wstring unitIni;
    // The settings text of apply and demo, the document or stream file of load, stream and notify.
    std::wstring input;
    // Where apply and demo save the host document.
    std::wstring savePath;
    std::vector<const NotificationName*> events;
    PreviewOptions preview;
    // The setup and ui commands.
    SetupOptions setup;
};

// False with a one-line reason for anything but the forms of Usage().
bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine& command, std::wstring& error);
const wchar_t* Usage();

} // namespace VireoHost
