// Runs VireoHost.exe as scripts do and checks what it prints.

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring Directory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

std::wstring TempPath(const wchar_t* prefix)
{
    wchar_t dir[MAX_PATH];
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, prefix, 0, file);
    return file;
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

struct HostRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }
};

HostRun Host(const std::wstring& arguments, const std::wstring& folder = Directory())
{
    VireoTest::ChildOptions options;
    options.separateError = true;
    options.inProgramFolder = false;
    const VireoTest::ChildResult child = VireoTest::RunChild(folder + L"VireoHost.exe", arguments, options);
    HostRun run;
    if (child.started)
        run.exitCode = child.exitCode;
    run.out = child.output;
    run.err = child.error;
    return run;
}

std::wstring Quote(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

const std::string EmptySettings = "Version = 1\nAnalogOutputCount = 0\nDigitalOutputCount = 0\n";
const std::string OneRule = "Version = 1\nAnalogOutputCount = 1\nDigitalOutputCount = 0\nBeginOnlineEvent\n"
                            "Version = 1\nOutput = 1\nOn = 1\nPulseDuration = 0.001\nPulseDelay = 0\n"
                            "RetriggerHoldoffTime = 0\nLimitedDuration = 0\nLimitedNumPulses = 0\n"
                            "RetriggerHoldoff = 0\nPulseNumLimit = 1\nAll = 1\nRuleCount = 1\n"
                            "BeginOnlineEventRule\nVersion = 1\nInput = 0\nAbove = 1\nHysteresis = 10\n"
                            "Level = 50\nEndOnlineEventRule\nEndOnlineEvent\n";

TEST(VireoHostProgram, SelfTestReportsEachTestByName)
{
    const HostRun run = Host(L"selftest");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "Vireo_EventConfig::TestSerialize: passed\n");
}

TEST(VireoHostProgram, ApplyPrintsOneRecordLinePerUnitOutputAndSavesTheDocument)
{
    const std::wstring settings = TempPath(L"vhs");
    const std::wstring unit = TempPath(L"vhu");
    const std::wstring document = TempPath(L"vhd");
    WriteFile(settings, OneRule);
    WriteFile(unit, "[Unit]\nAnalogOutputs=1\nDigitalGroups=2\n");
    const HostRun run = Host(L"apply --unit " + Quote(unit) + L" " + Quote(settings) + L" --save " + Quote(document));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::vector<std::string> lines = run.Lines();
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], "SetOutput 70000000040000000100000001000000" + std::string(16, '0') + std::string(48, '0') +
                            "10000000803e0000800c00000100000010000000000000000000000000000000" +
                            "10000000000000000000000000000000" + "10000000000000000000000000000000");
    EXPECT_EQ(lines[1].substr(0, 26), "SetOutput 7000000004000000");
    EXPECT_EQ(lines[1].size(), 10u + 224u);
    EXPECT_EQ(lines[2].substr(10, 24), "7000000004000000feffffff");

    const HostRun load = Host(L"load --unit " + Quote(unit) + L" " + Quote(document));
    EXPECT_EQ(load.exitCode, 0u) << load.err;
    EXPECT_EQ(load.out, run.out + "Settings:\n" + OneRule);

    const HostRun notify = Host(L"notify --unit " + Quote(unit) + L" " + Quote(document) + L" stop start");
    EXPECT_EQ(notify.exitCode, 0u) << notify.err;
    EXPECT_EQ(notify.out, run.out + "SwitchOff\n" + run.out);
    DeleteFileW(settings.c_str());
    DeleteFileW(unit.c_str());
    DeleteFileW(document.c_str());
}

TEST(VireoHostProgram, StreamPrintsTheSavedSettingsStreamInHex)
{
    const std::wstring settings = TempPath(L"vhs");
    const std::wstring document = TempPath(L"vhd");
    WriteFile(settings, EmptySettings);
    ASSERT_EQ(Host(L"apply " + Quote(settings) + L" --save " + Quote(document)).exitCode, 0u);
    const HostRun run = Host(L"stream " + Quote(document));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    std::string hex = "aaaa155501000000010000803a000000c6ffffff";
    for (char c : EmptySettings) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[(c >> 4) & 15];
        hex += digits[c & 15];
        hex += "00";
    }
    EXPECT_EQ(run.out, hex + "0000\n");
    DeleteFileW(settings.c_str());
    DeleteFileW(document.c_str());
}

TEST(VireoHostProgram, ACorruptStreamShowsTheLoadFailureBoxAndFails)
{
    const std::wstring raw = TempPath(L"vhr");
    std::string bytes("\xAA\xAA\x15\x55\x01\x00\x00\x00\x01\x00\x00\x80\x03\x00\x00\x00\x00\x00\x00\x00", 20);
    WriteFile(raw, bytes + std::string("a\0b\0\0\0", 6));
    const HostRun run = Host(L"load " + Quote(raw));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out, "MessageBox: Vireo: Failed to load Vireo setup.\n");
    DeleteFileW(raw.c_str());
}

TEST(VireoHostProgram, TheModulesLogLineOnStandardErrorIsPlainText)
{
    const std::wstring raw = TempPath(L"vhr");
    std::string bytes("\xAA\xAA\x15\x55\x01\x00\x00\x00\x01\x00\x00\x80\x03\x00\x00\x00\x00\x00\x00\x00", 20);
    WriteFile(raw, bytes + std::string("a\0b\0\0\0", 6));
    const HostRun run = Host(L"load " + Quote(raw));
    DeleteFileW(raw.c_str());
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\0'), 0);
    EXPECT_NE(run.err.find("QLXBOOTLOG: XQLX: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("VireoHost: loading "), std::string::npos) << run.err;
}

TEST(VireoHostProgram, BadArgumentsAndUnreadableFilesExitWithTwo)
{
    for (const wchar_t* arguments :
         {L"", L"apply", L"frobnicate x", L"notify x.kdoc explode", L"apply Z:\\no\\such\\settings.txt",
          L"load Z:\\no\\such\\doc.kdoc", L"stream Z:\\no\\such\\doc.kdoc", L"apply --unit Z:\\no\\unit.ini s.txt"}) {
        const HostRun run = Host(arguments);
        EXPECT_EQ(run.exitCode, 2u) << std::string(arguments, arguments + wcslen(arguments));
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    }
}

TEST(VireoHostProgram, AFaultEndsTheHostWithOneLineAndExitCodeFour)
{
    // The host beside a module that faults in DllRegisterClassObjects.
    std::wstring folder = TempPath(L"vhf");
    DeleteFileW(folder.c_str());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    folder += L"\\";
    ASSERT_TRUE(CopyFileW((Directory() + L"VireoHost.exe").c_str(), (folder + L"VireoHost.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((Directory() + L"Kxf.dll").c_str(), (folder + L"Kxf.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((Directory() + L"FaultingModule.dll").c_str(), (folder + L"Vireo.dll").c_str(), FALSE));
    const HostRun run = Host(L"selftest", folder);
    for (const wchar_t* name : {L"VireoHost.exe", L"Kxf.dll", L"Vireo.dll"})
        DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(run.exitCode, 4u);
    EXPECT_EQ(run.err.rfind("VireoHost: internal error 0xC0000005 at ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(" in Vireo.dll\n"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

// A1 is on while input 1 is at or above 5 V (hysteresis 1 V), on a unit with one analog output.
HostRun Preview(const std::wstring& options, const std::string& unitText = "[Unit]\nAnalogOutputs=1\nDigitalGroups=\n")
{
    const std::wstring settings = TempPath(L"vps");
    const std::wstring unit = TempPath(L"vpu");
    WriteFile(settings, OneRule);
    WriteFile(unit, unitText);
    const HostRun run = Host(L"preview --unit " + Quote(unit) + L" " + Quote(settings) + L" " + options);
    DeleteFileW(settings.c_str());
    DeleteFileW(unit.c_str());
    return run;
}

TEST(VireoHostProgram, PreviewPrintsEachActivityAndASummaryPerOutput)
{
    const HostRun run = Preview(L"--synth \"1=square(8,2)\" --seconds 1 --rate 1000");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "A1 0.0000 0.2500\nA1 0.5000 0.7500\nSummary: A1 2 events\n");
}

TEST(VireoHostProgram, PreviewSamplesAtTheUnitsRateUnlessTold)
{
    // Three samples in a second: 0, 3.33 and 6.67 V.
    const HostRun run =
        Preview(L"--synth 1=ramp(0,10) --seconds 1", "[Unit]\nAnalogOutputs=1\nDigitalGroups=\nSampleRate=3\n");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "A1 0.6667 1.0000\nSummary: A1 1 event\n");
}

TEST(VireoHostProgram, PreviewReadsACsvSignalAndNamesTheLineOfABadOne)
{
    const std::wstring csv = TempPath(L"vpc");
    WriteFile(csv, "time,1\n0,0\n0.5,6\n1.0,0\n");
    HostRun run = Preview(L"--signal " + Quote(csv));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "A1 0.5000 1.0000\nSummary: A1 1 event\n");
    WriteFile(csv, "time,1\n0,0\n0.5,six\n");
    run = Preview(L"--signal " + Quote(csv));
    DeleteFileW(csv.c_str());
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("line 3: \"six\" is not a number"), std::string::npos) << run.err;
}

TEST(VireoHostProgram, PreviewReadsAnEdfRecordingAndRefusesOneStillBeingWritten)
{
    // Signal 1 of the sample is 3 V at 2 Hz: on a 5 V input A1 fires at each rise past 2.5 V.
    const HRSRC found = FindResourceW(nullptr, L"EDFSAMPLE", MAKEINTRESOURCEW(10));
    ASSERT_TRUE(found);
    std::string bytes(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                      SizeofResource(nullptr, found));
    const std::wstring edf = TempPath(L"vpe") + L".edf";
    WriteFile(edf, bytes);
    HostRun run = Preview(L"--signal " + Quote(edf), "[Unit]\nAnalogOutputs=1\nDigitalGroups=\n[Inputs]\n1=5 V\n");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("Summary: A1 4 events\n"), std::string::npos) << run.out;
    bytes.replace(236, 8, "-1      ");
    WriteFile(edf, bytes);
    run = Preview(L"--signal " + Quote(edf));
    DeleteFileW(edf.c_str());
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(".edf: the record count is -1"), std::string::npos) << run.err;
}

TEST(VireoHostProgram, PreviewDrawsAPngPlot)
{
    const std::wstring png = TempPath(L"vpp");
    const HostRun run = Preview(L"--synth \"1=sine(8,3);1=noise(0.2,1)\" --plot " + Quote(png));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::string bytes = ReadFile(png);
    DeleteFileW(png.c_str());
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

} // namespace
