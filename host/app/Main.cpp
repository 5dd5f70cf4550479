// VireoHost.exe: a stand-in for the data-acquisition host that loads Vireo.dll,
// drives it from the command line and prints what the recording unit receives.

#include "CommandLine.h"
#include "HostSession.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <io.h>

#include <string>
#include <vector>

namespace {

// The host's exit code for a fault it did not expect.
constexpr int InternalError = 4;

// One line on standard error, written to the handle itself: the fault may have left
// the C library's locks held.
void WriteInternalError(const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// Ends the process with one line instead of a debugger waiting for a person.
LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS* fault)
{
    const EXCEPTION_RECORD* record = fault ? fault->ExceptionRecord : nullptr;
    const void* address = record ? record->ExceptionAddress : nullptr;
    char module[MAX_PATH] = "?";
    HMODULE owner = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(address), &owner) &&
        GetModuleFileNameA(owner, module, MAX_PATH)) {
        const char* slash = std::strrchr(module, '\\');
        std::memmove(module, slash ? slash + 1 : module, std::strlen(slash ? slash + 1 : module) + 1);
    }
    char line[MAX_PATH + 96];
    std::snprintf(line, sizeof line, "VireoHost: internal error 0x%08lX at %p in %s\n",
                  record ? static_cast<unsigned long>(record->ExceptionCode) : 0ul, address, module);
    WriteInternalError(line);
    TerminateProcess(GetCurrentProcess(), InternalError);
    return EXCEPTION_EXECUTE_HANDLER;
}

// A C++ exception nobody caught.
[[noreturn]] void OnTerminate()
{
    WriteInternalError("VireoHost: internal error: an exception was not handled\n");
    TerminateProcess(GetCurrentProcess(), InternalError);
    std::abort();
}

} // namespace

int main()
{
    SetUnhandledExceptionFilter(OnUnhandledFault);
    std::set_terminate(OnTerminate);
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
    try {
        VireoHost::HostSession session;
        return session.Run(command);
    } catch (const std::exception& e) {
        VireoHost::PrintError(L"internal error: " + std::wstring(e.what(), e.what() + std::strlen(e.what())));
        return InternalError;
    }
}
