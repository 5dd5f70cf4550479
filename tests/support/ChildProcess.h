#pragma once
// Test helpers that start a program as a separate process, collect its standard output
// and exit code, and find and close a message box it shows.

#include <windows.h>

#include <string>
#include <vector>

namespace VireoTest {

// The folder of the running test executable, with a trailing backslash.
std::wstring ExecutableFolder();

// A fresh, empty folder under the temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // With a trailing backslash.
    const std::wstring& Path() const { return path_; }
    // Copies a file into the folder under the given name; returns the new path.
    std::wstring Copy(const std::wstring& source, const std::wstring& name);

private:
    std::wstring path_;
};

// A message box seen in another process.
struct SeenMessageBox {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    // Identifiers of the visible buttons, and whether an icon shows.
    std::vector<int> buttons;
    bool icon = false;
};

struct ChildResult {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0;
    std::string output; // standard output, and standard error unless kept apart
    std::string error;  // standard error when kept apart
    SeenMessageBox box;
};

struct ChildOptions {
    // Waits for the child's first message box, records it and closes it.
    bool closeMessageBox = false;
    // The child is killed after this long.
    DWORD timeoutMs = 60000;
    bool separateError = false;
    // Otherwise the child starts in the test's own working folder.
    bool inProgramFolder = true;
};

// The name of the calling thread's desktop ("Default" unless a test program chose its own).
std::wstring ThreadDesktopName();
// Moves the calling thread, before it has windows, to a desktop of the process's own.
void UsePrivateDesktop();

// Runs program with arguments and collects what it printed.
ChildResult RunChild(const std::wstring& program, const std::wstring& arguments, const ChildOptions& options);

inline ChildResult RunChild(const std::wstring& program, const std::wstring& arguments, bool closeMessageBox = false,
                            DWORD timeoutMs = 60000)
{
    ChildOptions options;
    options.closeMessageBox = closeMessageBox;
    options.timeoutMs = timeoutMs;
    return RunChild(program, arguments, options);
}

} // namespace VireoTest
