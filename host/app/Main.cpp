// VireoHost.exe: a stand-in for the data-acquisition host that loads Vireo.dll,
// drives it from the command line and prints what the recording unit receives.

#include "CommandLine.h"
#include "HostSession.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

#include <string>
#include <vector>

int main()
{
    // Lines end in a line feed alone, whatever reads them. Standard error stays in
    // text mode: the module writes its log lines there as wide text, which a
    // binary stream would pass on as raw UTF-16.
    _setmode(_fileno(stdout), _O_BINARY);
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i)
        args.push_back(arguments[i]);
    LocalFree(arguments);

    VireoHost::CommandLine command;
    std::wstring error;
    if (!VireoHost::ParseCommandLine(args, command, error)) {
        VireoHost::PrintError(error + L"; " + VireoHost::Usage());
        return 2;
    }
    VireoHost::HostSession session;
    return session.Run(command);
}
