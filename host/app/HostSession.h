#pragma once
// One run of the host program: starts COM, the host's services and the framework,
// loads Vireo.dll as the real host does, and carries out one command.

#include "CommandLine.h"
#include "HostServices.h"
#include "UnitModel.h"

#include <string>

namespace VireoHost {

// A status code as the program prints it (0x8000FFFF).
std::wstring Code(HRESULT hr);

class HostDocument;
class SimulatedUnit;

class HostSession {
public:
    HostSession();
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Exit code: 0 done, 1 the command failed, 2 bad arguments or unreadable files,
    // 3 the host could not start.
    int Run(const CommandLine& command);

private:
    // The setup and ui commands live in files of their own and use the session's steps.
    friend class SetupCommand;
    friend class UiCommand;

    bool Start(std::wstring& error);
    int Apply(const CommandLine& command);
    int Load(const CommandLine& command, bool printSettings);
    int Stream(const CommandLine& command);
    int Notify(const CommandLine& command);
    int SelfTest();
    int Demo(const CommandLine& command);
    int Preview(const CommandLine& command);

    bool ReadUnit(const CommandLine& command, UnitModel& unit);
    // A host document on a new simulated unit with its module document; null on failure.
    HostDocument* OpenDocument(const UnitModel& model, SimulatedUnit*& unit);
    // Loads a document file or raw settings stream into the document; 0, 1 or 2 as Run.
    int LoadInto(HostDocument* document, const std::wstring& file);
    void PrintCalls(SimulatedUnit* unit);
    // The document's settings text, as its persistence saves it.
    bool SettingsText(HostDocument* document, std::string& text);
    // Prints "Settings:" and the document's settings text; false (with an error line)
    // when the text cannot be read.
    bool PrintSettings(HostDocument* document);
    // Saves the document to path when one is given and the command has not failed, then
    // closes and releases it; the command's exit code.
    static int SaveAndClose(HostDocument* document, const std::wstring& path, int result);
    DWORD Group(REFGUID id);
    // Sends text to the document's online-events document as its apply-settings message.
    void ApplySettings(HostDocument* document, const std::wstring& text);

    // The unit every document of the run is attached to.
    UnitModel model_;
    HWND mainWindow_ = nullptr;
    HostApplication* application_ = nullptr;
    DWORD applicationCookie_ = 0;
    DWORD frameworkCookie_ = 0;
    HMODULE framework_ = nullptr;
    HMODULE module_ = nullptr;
    bool comStarted_ = false;
};

// Output of the host program: lines on standard output and errors on standard error.
void PrintLine(const std::string& line);
void PrintError(const std::wstring& line);

} // namespace VireoHost
