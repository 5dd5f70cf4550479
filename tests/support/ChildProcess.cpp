#include "ChildProcess.h"

namespace VireoTest {
namespace {

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (owner == search->processId && std::wstring(className) == L"#32770") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

BOOL CALLBACK RecordControl(HWND control, LPARAM parameter)
{
    auto* seen = reinterpret_cast<SeenMessageBox*>(parameter);
    if (!IsWindowVisible(control))
        return TRUE;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (!lstrcmpiW(className, L"Button"))
        seen->buttons.push_back(GetDlgCtrlID(control));
    else if (!lstrcmpiW(className, L"Static") && (style & SS_TYPEMASK) == SS_ICON) {
        // The icon control may be there without an icon in it.
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
        seen->icon = seen->icon || icon != 0;
    }
    return TRUE;
}

// Message boxes keep their text in a static control with this identifier.
constexpr int MessageBoxTextId = 0xFFFF;

SeenMessageBox CloseMessageBoxOf(DWORD processId, HANDLE process, DWORD timeoutMs)
{
    SeenMessageBox seen;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        BoxSearch search{processId, nullptr};
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.box) {
            Sleep(200); // let the box finish setting itself up
            seen.found = true;
            seen.caption = WindowText(search.box);
            seen.text = WindowText(GetDlgItem(search.box, MessageBoxTextId));
            EnumChildWindows(search.box, RecordControl, reinterpret_cast<LPARAM>(&seen));
            PostMessageW(search.box, WM_COMMAND, IDOK, 0);
            return seen;
        }
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return seen;
    }
    return seen;
}

} // namespace

std::wstring ExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    for (unsigned attempt = 0;; ++attempt) {
        path_ = std::wstring(temp) + L"vireo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount() + attempt) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((path_ + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::wstring ScratchFolder::Copy(const std::wstring& source, const std::wstring& name)
{
    const std::wstring target = path_ + name;
    CopyFileW(source.c_str(), target.c_str(), FALSE);
    return target;
}

namespace {

// Output goes to a file: helper processes that Wine starts for the child may inherit
// the handle and outlive it, which would keep a pipe open.
HANDLE OutputFile()
{
    wchar_t temp[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"vro", 0, path);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadBack(HANDLE file)
{
    std::string text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        text.append(chunk, got);
    return text;
}

void WaitForChild(const PROCESS_INFORMATION& process, const ChildOptions& options, ChildResult& result)
{
    if (options.closeMessageBox)
        result.box = CloseMessageBoxOf(process.dwProcessId, process.hProcess, options.timeoutMs);
    result.finished = WaitForSingleObject(process.hProcess, options.timeoutMs) == WAIT_OBJECT_0;
    if (!result.finished)
        TerminateProcess(process.hProcess, 0xDEAD);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

ChildResult RunChild(const std::wstring& program, const std::wstring& arguments, const ChildOptions& options)
{
    ChildResult result;
    const HANDLE output = OutputFile();
    const HANDLE error = options.separateError ? OutputFile() : output;
    if (output == INVALID_HANDLE_VALUE || error == INVALID_HANDLE_VALUE) {
        CloseHandle(output);
        CloseHandle(error);
        return result;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    // On this program's desktop, where its boxes are found.
    std::wstring desktop = L"WinSta0\\" + ThreadDesktopName();
    startup.lpDesktop = desktop.data();
    startup.hStdOutput = output;
    startup.hStdError = error;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
    PROCESS_INFORMATION process{};
    result.started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    options.inProgramFolder ? folder.c_str() : nullptr, &startup, &process) != FALSE;
    if (result.started) {
        WaitForChild(process, options, result);
        result.output = ReadBack(output);
        if (options.separateError)
            result.error = ReadBack(error);
    }
    if (options.separateError)
        CloseHandle(error);
    CloseHandle(output);
    return result;
}

std::wstring ThreadDesktopName()
{
    wchar_t name[128] = {};
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, nullptr);
    return name;
}

// The foreground, and with it the keyboard focus, is one per desktop: test programs run
// side by side would take it from each other between a click and the key that follows.
void UsePrivateDesktop()
{
    // A child of a test program stays on its parent's desktop, where the parent sees its boxes.
    if (ThreadDesktopName() != L"Default")
        return;
    wchar_t name[64] = {};
    wsprintfW(name, L"VireoTest%lu", GetCurrentProcessId());
    if (HDESK desktop = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr))
        SetThreadDesktop(desktop);
}

} // namespace VireoTest
