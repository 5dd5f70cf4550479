#include "HostSession.h"
#include "Held.h"

#include "DocumentFile.h"
#include "HostDocument.h"
#include "HostText.h"
#include "MessageBoxEcho.h"
#include "SetupCommand.h"
#include "UiCommand.h"
#include "SimulatedUnit.h"
#include "UnitCalls.h"
#include "hostapi/OnlineEvents.h"

#include <cstdio>
#include <memory>

namespace VireoHost {
namespace {


std::wstring ProgramDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    const size_t slash = directory.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : directory.substr(0, slash + 1);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// Messages boxes of the module are printed and answered while the session runs.
MessageBoxEcho::Sink PrintBoxes()
{
    return [](const std::wstring& caption, const std::wstring& text) {
        PrintLine(Utf8(MessageBoxEcho::Line(caption, text)));
    };
}

} // namespace

std::wstring Code(HRESULT hr)
{
    wchar_t text[16];
    wsprintfW(text, L"0x%08X", static_cast<unsigned>(hr));
    return text;
}

void PrintLine(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const std::wstring& line)
{
    const std::string narrow = "VireoHost: " + Utf8(line) + "\n";
    std::fputs(narrow.c_str(), stderr);
    std::fflush(stderr);
}

HostSession::HostSession() = default;

HostSession::~HostSession()
{
    {
        // The module's tests go before the module could.
        Held<IUnitTestRunner> runner;
        if (SUCCEEDED(CoGetClassObject(CLSID_UnitTestRegistry, CLSCTX_INPROC_SERVER, nullptr, IID_IUnitTestRunner,
                                       reinterpret_cast<void**>(&runner.object))))
            runner.object->Clear();
    }
    if (frameworkCookie_)
        CoRevokeClassObject(frameworkCookie_);
    if (applicationCookie_)
        CoRevokeClassObject(applicationCookie_);
    if (mainWindow_)
        DestroyWindow(mainWindow_);
    delete application_;
    // The libraries stay loaded: objects of theirs may still be cached by each other.
    if (comStarted_)
        OleUninitialize();
}

bool HostSession::Start(std::wstring& error)
{
    if (FAILED(OleInitialize(nullptr))) {
        error = L"cannot initialise OLE";
        return false;
    }
    comStarted_ = true;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VireoHostMainWindow";
    RegisterClassW(&windowClass);
    mainWindow_ = CreateWindowExW(0, windowClass.lpszClassName, L"Kestrana", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    application_ = new HostApplication(mainWindow_);
    application_->SetApplicationVisible(model_.applicationVisible);
    CoRegisterClassObject(CLSID_HostApplication, static_cast<IHostApplication*>(application_), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &applicationCookie_);

    const std::wstring directory = ProgramDirectory();
    const std::wstring frameworkPath = directory + L"Kxf.dll";
    framework_ = LoadLibraryW(frameworkPath.c_str());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        framework_
            ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(framework_, "DllGetClassObject")))
            : nullptr;
    IUnknown* frameworkObject = nullptr;
    if (!getClassObject ||
        FAILED(getClassObject(CLSID_KXFFramework, IID_IUnknown, reinterpret_cast<void**>(&frameworkObject)))) {
        error = L"cannot load the framework " + frameworkPath;
        return false;
    }
    CoRegisterClassObject(CLSID_KXFFramework, frameworkObject, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &frameworkCookie_);
    frameworkObject->Release();

    const std::wstring modulePath = directory + L"Vireo.dll";
    module_ = LoadLibraryW(modulePath.c_str());
    using RegisterClassObjects = HRESULT(STDAPICALLTYPE*)();
    auto registerClassObjects = module_ ? reinterpret_cast<RegisterClassObjects>(reinterpret_cast<void*>(
                                              GetProcAddress(module_, "DllRegisterClassObjects")))
                                        : nullptr;
    if (!registerClassObjects) {
        error = L"cannot load " + modulePath;
        return false;
    }
    const HRESULT hr = registerClassObjects();
    if (FAILED(hr)) {
        error = L"DllRegisterClassObjects failed (" + Code(hr) + L")";
        return false;
    }
    return true;
}

int HostSession::Run(const CommandLine& command)
{
    if (command.verb == Verb::Stream)
        return Stream(command);
    if (!ReadUnit(command, model_))
        return 2;
    std::wstring error;
    // A person at the ui answers the module's boxes; everywhere else they are printed.
    std::unique_ptr<MessageBoxEcho> echo;
    if (command.verb != Verb::Ui)
        echo.reset(new MessageBoxEcho(PrintBoxes()));
    if (!Start(error)) {
        PrintError(error);
        return 3;
    }
    switch (command.verb) {
    case Verb::Apply:
        return Apply(command);
    case Verb::Load:
        return Load(command, true);
    case Verb::Notify:
        return Notify(command);
    case Verb::SelfTest:
        return SelfTest();
    case Verb::Demo:
        return Demo(command);
    case Verb::Preview:
        return Preview(command);
    case Verb::Setup:
        return SetupCommand(*this).Run(command);
    case Verb::Ui:
        return UiCommand(*this).Run(command);
    default:
        return 2;
    }
}

bool HostSession::ReadUnit(const CommandLine& command, UnitModel& unit)
{
    if (command.unitIni.empty())
        return true;
    std::wstring error;
    if (!LoadUnitIni(command.unitIni, unit, error)) {
        PrintError(error);
        return false;
    }
    if (application_)
        application_->SetApplicationVisible(unit.applicationVisible);
    return true;
}

DWORD HostSession::Group(REFGUID id)
{
    Held<IKXFIdRegistry> registry;
    WORD group = 0;
    if (FAILED(CoGetClassObject(CLSID_KXFFramework, CLSCTX_INPROC_SERVER, nullptr, IID_IKXFIdRegistry,
                                reinterpret_cast<void**>(&registry.object))) ||
        FAILED(registry.object->GetIdGroup(id, &group)))
        return 0;
    return static_cast<DWORD>(group) << 16;
}

void HostSession::ApplySettings(HostDocument* document, const std::wstring& text)
{
    document->SendText(Group(CLSID_OnlineEventsDocument) + OnlineEventsContract::ApplySettingsOffset, text);
}

HostDocument* HostSession::OpenDocument(const UnitModel& model, SimulatedUnit*& unit)
{
    unit = new SimulatedUnit(model);
    auto* document = new HostDocument(unit);
    std::wstring error;
    if (FAILED(document->CreateModuleDocument(CLSID_OnlineEventsDocument, error))) {
        PrintError(error);
        document->Release();
        unit->Release();
        unit = nullptr;
        return nullptr;
    }
    return document;
}

void HostSession::PrintCalls(SimulatedUnit* unit)
{
    for (const UnitCall& call : unit->Calls())
        PrintLine(CallLine(call));
    unit->ClearCalls();
}

int HostSession::Apply(const CommandLine& command)
{
    std::string text;
    if (!ReadFileBytes(command.input, text)) {
        PrintError(L"cannot read " + command.input);
        return 2;
    }
    const UnitModel& model = model_;
    SimulatedUnit* unit = nullptr;
    HostDocument* document = OpenDocument(model, unit);
    if (!document)
        return 3;
    // The settings end at the file's first NUL.
    ApplySettings(document, FromUtf8(text.c_str()));
    PrintCalls(unit);
    const int result = SaveAndClose(document, command.savePath, 0);
    unit->Release();
    return result;
}

int HostSession::SaveAndClose(HostDocument* document, const std::wstring& path, int result)
{
    if (result == 0 && !path.empty()) {
        std::wstring error;
        if (FAILED(document->Save(path, error))) {
            PrintError(error);
            result = 1;
        }
    }
    document->Close();
    document->Release();
    return result;
}

int HostSession::LoadInto(HostDocument* document, const std::wstring& file)
{
    std::wstring error;
    Held<IStream> stream;
    stream.object = OpenSettingsStream(file, CLSID_OnlineEventsDocument, true, error);
    if (!stream.object) {
        PrintError(error);
        return 2;
    }
    Held<IPersistStream> persistence;
    persistence.object = document->QueryPersistence();
    if (!persistence.object) {
        PrintError(L"the document offers no persistence");
        return 1;
    }
    const HRESULT hr = persistence.object->Load(stream.object);
    if (FAILED(hr)) {
        PrintError(L"loading " + file + L" failed (" + Code(hr) + L")");
        return 1;
    }
    return 0;
}

bool HostSession::PrintSettings(HostDocument* document)
{
    std::string text;
    if (!SettingsText(document, text)) {
        PrintError(L"cannot read the document's settings");
        return false;
    }
    PrintLine("Settings:");
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    return true;
}

bool HostSession::SettingsText(HostDocument* document, std::string& text)
{
    Held<IPersistStream> persistence;
    persistence.object = document->QueryPersistence();
    Held<IStorage> storage;
    Held<IStream> stream;
    const DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE;
    if (!persistence.object || FAILED(StgCreateDocfile(nullptr, mode, 0, &storage.object)) ||
        FAILED(
            storage.object->CreateStream(L"Contents", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream.object)) ||
        FAILED(persistence.object->Save(stream.object, FALSE)))
        return false;
    // Header, settings version, marker, count and check, then UTF-16 ending in a zero unit.
    const std::string bytes = ReadAllBytes(stream.object);
    if (bytes.size() < 20)
        return false;
    text.clear();
    for (size_t i = 20; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == 0)
            break;
        text += static_cast<char>(unit < 0x80 ? unit : '?');
    }
    return true;
}

int HostSession::Load(const CommandLine& command, bool printSettings)
{
    const UnitModel& model = model_;
    SimulatedUnit* unit = nullptr;
    HostDocument* document = OpenDocument(model, unit);
    if (!document)
        return 3;
    int result = LoadInto(document, command.input);
    PrintCalls(unit);
    if (result == 0 && printSettings && !PrintSettings(document))
        result = 1;
    if (result == 0 && command.verb == Verb::Notify) {
        for (const NotificationName* event : command.events) {
            const DWORD number = Group(event->deviceGroup ? GUID_DeviceEventGroup : GUID_UnitEventGroup) + event->offset;
            BYTE flag = event->flag;
            document->Raise(number, 0, event->hasFlag ? &flag : nullptr);
            PrintCalls(unit);
        }
    }
    document->Close();
    document->Release();
    unit->Release();
    return result;
}

int HostSession::Stream(const CommandLine& command)
{
    if (FAILED(OleInitialize(nullptr))) {
        PrintError(L"cannot initialise OLE");
        return 3;
    }
    comStarted_ = true;
    std::wstring error;
    Held<IStream> stream;
    stream.object = OpenSettingsStream(command.input, CLSID_OnlineEventsDocument, false, error);
    if (!stream.object) {
        PrintError(error);
        return 2;
    }
    const std::string bytes = ReadAllBytes(stream.object);
    PrintLine(HexText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return 0;
}

int HostSession::Notify(const CommandLine& command)
{
    return Load(command, false);
}

int HostSession::SelfTest()
{
    // The framework's registry, which the module registered its tests with.
    Held<IUnitTestRunner> runner;
    if (FAILED(CoGetClassObject(CLSID_UnitTestRegistry, CLSCTX_INPROC_SERVER, nullptr, IID_IUnitTestRunner,
                                reinterpret_cast<void**>(&runner.object))) ||
        !runner.object) {
        PrintError(L"the framework's test registry cannot be found");
        return 3;
    }
    bool failed = false;
    for (const TestOutcome& outcome : RunTests(runner.object)) {
        if (outcome.passed) {
            PrintLine(Utf8(outcome.name) + ": passed");
        } else {
            PrintLine(Utf8(outcome.name) + ": failed: " + Utf8(outcome.message));
            failed = true;
        }
    }
    return failed ? 1 : 0;
}

int HostSession::Demo(const CommandLine& command)
{
    PrintLine("Vireo.dll is loaded into the host and registered its document class.");
    PrintLine("");
    PrintLine("Self-test of the module:");
    if (SelfTest() != 0)
        return 1;

    std::string text;
    if (!ReadFileBytes(command.input, text)) {
        PrintError(L"cannot read " + command.input);
        return 2;
    }
    const UnitModel& model = model_;
    PrintLine("");
    PrintLine("Unit: " + Utf8(model.name) + ", " + std::to_string(model.inputRanges.size()) + " inputs, " +
              std::to_string(model.analogOutputs) + " analog outputs, " + std::to_string(model.DigitalOutputCount()) +
              " digital outputs");
    PrintLine("Applying " + Utf8(command.input) + " through the apply-settings message:");
    SimulatedUnit* unit = nullptr;
    HostDocument* document = OpenDocument(model, unit);
    if (!document)
        return 3;
    // The settings end at the file's first NUL.
    ApplySettings(document, FromUtf8(text.c_str()));
    const std::vector<UnitCall> applied = unit->Calls();
    std::fputs(RecordTable(applied).c_str(), stdout);
    unit->ClearCalls();
    std::wstring error;
    const HRESULT saved = document->Save(command.savePath, error);
    document->Close();
    document->Release();
    unit->Release();
    if (FAILED(saved)) {
        PrintError(error);
        return 1;
    }
    PrintLine("Saved the host document to " + Utf8(command.savePath) + ".");

    PrintLine("");
    PrintLine("Loading it into a new document on the same unit:");
    document = OpenDocument(model, unit);
    if (!document)
        return 3;
    const int loaded = LoadInto(document, command.savePath);
    const std::vector<UnitCall> reloaded = unit->Calls();
    document->Close();
    document->Release();
    unit->Release();
    if (loaded != 0)
        return loaded;
    std::fputs(RecordTable(reloaded).c_str(), stdout);
    size_t same = 0;
    for (size_t i = 0; i < applied.size() && i < reloaded.size(); ++i)
        if (applied[i].switchOff == reloaded[i].switchOff && applied[i].record == reloaded[i].record)
            ++same;
    const bool identical = same == applied.size() && applied.size() == reloaded.size();
    PrintLine("");
    PrintLine(identical ? "The unit received the same " + std::to_string(same) + " records after reloading."
                        : "The records after reloading differ: " + std::to_string(same) + " of " +
                              std::to_string(applied.size()) + " are the same.");
    std::fflush(stdout);
    return identical ? 0 : 1;
}

// The settings reach the unit as apply does; the records it receives are previewed.
int HostSession::Preview(const CommandLine& command)
{
    std::string text;
    if (!ReadFileBytes(command.input, text)) {
        PrintError(L"cannot read " + command.input);
        return 2;
    }
    // A bad signal file is refused before the settings reach the unit.
    const std::unique_ptr<SignalSource> signals = OpenPreviewSignals(command.preview, model_);
    if (!signals)
        return 2;
    SimulatedUnit* unit = nullptr;
    HostDocument* document = OpenDocument(model_, unit);
    if (!document)
        return 3;
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                                        static_cast<int>(wide.size()))));
    ApplySettings(document, wide.c_str());
    std::vector<Record> records;
    for (const UnitCall& call : unit->Calls())
        if (!call.switchOff)
            records.push_back(call.record);
    document->Close();
    document->Release();
    unit->Release();
    const size_t slash = command.input.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? command.input : command.input.substr(slash + 1);
    return RunPreview(command.preview, model_, name, records, *signals);
}

} // namespace VireoHost
