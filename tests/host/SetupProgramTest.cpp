// Runs "VireoHost.exe setup" with scripts as scripts do and checks what it prints.

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring TempFile(const wchar_t* prefix, const std::string& bytes)
{
    wchar_t dir[MAX_PATH];
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, prefix, 0, file);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

struct HostRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::string> lines;
    std::string err;
    bool Has(const std::string& prefix) const
    {
        for (const std::string& line : lines)
            if (line.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    size_t Count(const std::string& prefix) const
    {
        size_t count = 0;
        for (const std::string& line : lines)
            count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
};

HostRun RunHost(const std::wstring& arguments);

HostRun RunSetup(const std::wstring& arguments)
{
    return RunHost(L"setup " + arguments);
}

// The host program beside this test program.
HostRun RunHost(const std::wstring& arguments)
{
    VireoTest::ChildOptions options;
    options.separateError = true;
    options.inProgramFolder = false;
    const VireoTest::ChildResult child =
        VireoTest::RunChild(VireoTest::ExecutableFolder() + L"VireoHost.exe", arguments, options);
    HostRun run;
    if (child.finished)
        run.exitCode = child.exitCode;
    std::istringstream text(child.output);
    for (std::string line; std::getline(text, line);)
        run.lines.push_back(line);
    run.err = child.error;
    return run;
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

const std::string OneOutputOn = "Version = 1\nAnalogOutputCount = 1\nDigitalOutputCount = 0\nBeginOnlineEvent\n"
                                "Version = 1\nOutput = 1\nOn = 1\nPulseDuration = 0.001\nPulseDelay = 0\n"
                                "RetriggerHoldoffTime = 0\nLimitedDuration = 0\nLimitedNumPulses = 0\n"
                                "RetriggerHoldoff = 0\nPulseNumLimit = 1\nAll = 1\nRuleCount = 1\n"
                                "BeginOnlineEventRule\nVersion = 1\nInput = 0\nAbove = 1\nHysteresis = 10\n"
                                "Level = 50\nEndOnlineEventRule\nEndOnlineEvent\n";

TEST(SetupProgram, OkThenCancelPrintsEachResultWithTheCallsMadeThen)
{
    const std::wstring settings = TempFile(L"sts", OneOutputOn);
    const std::wstring script = TempFile(L"stc", "# twice\nok\n\ncancel\n");
    const HostRun run = RunSetup(L"--settings " + Quoted(settings) + L" --script " + Quoted(script));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_GE(run.lines.size(), 14u);
    EXPECT_EQ(run.lines[0], "DialogResult 1");
    for (size_t i = 1; i <= 10; ++i)
        EXPECT_EQ(run.lines[i].rfind("SetOutput ", 0), 0u) << i;
    EXPECT_EQ(run.lines[11], "SwitchOff");
    EXPECT_EQ(run.lines[12], "DialogResult 2");
    EXPECT_EQ(run.lines[13], "Settings:");
    EXPECT_EQ(run.Count("DialogResult"), 2u);
    DeleteFileW(settings.c_str());
    DeleteFileW(script.c_str());
}

TEST(SetupProgram, AStopAtAMessageBoxPrintsTheBoxAndNoResult)
{
    const std::wstring unit = TempFile(L"stu", "[Unit]\nName=\nSupported=0\n");
    const std::wstring script = TempFile(L"stc", "dump\nok\n");
    const HostRun run = RunSetup(L"--unit " + Quoted(unit) + L" --script " + Quoted(script));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines[0].rfind("MessageBox: Vireo: Vireo is not available for the current master device (none).", 0),
              0u)
        << run.lines[0];
    EXPECT_FALSE(run.Has("DialogResult"));
    EXPECT_FALSE(run.Has("caption:"));
    EXPECT_TRUE(run.Has("Settings:"));
    DeleteFileW(unit.c_str());
    DeleteFileW(script.c_str());
}

TEST(SetupProgram, DumpDescribesTheDialogAndAShotWithoutADisplaySaysSo)
{
    const std::wstring script = TempFile(L"stc", "dump\nshot first\n");
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const HostRun run = RunSetup(L"--script " + Quoted(script) + L" --shots " + Quoted(std::wstring(dir) + L"vshots"));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_GE(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0].rfind("caption: Vireo", 0), 0u) << run.lines[0];
    EXPECT_EQ(run.lines[1].rfind("size: ", 0), 0u);
    EXPECT_TRUE(run.Has("dialog 1 button enabled shown \"OK\" -"));
    EXPECT_TRUE(run.Has("dialog 2 button enabled shown \"Cancel\" -"));
    EXPECT_TRUE(run.Has("hint: none"));
    EXPECT_TRUE(run.Has("shot first: no display"));
    // The script ended with the dialog open: it was cancelled.
    EXPECT_TRUE(run.Has("DialogResult 2"));
    DeleteFileW(script.c_str());
}

TEST(SetupProgram, ABadScriptLineFailsBeforeAnythingRuns)
{
    const std::wstring script = TempFile(L"stc", "tab 0\n\nclick nowhere 5\n");
    const HostRun run = RunSetup(L"--script " + Quoted(script));
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_NE(run.err.find("line 3: unknown pane nowhere"), std::string::npos) << run.err;
    DeleteFileW(script.c_str());
}

TEST(SetupProgram, WaitingForAPersonNeedsADisplay)
{
    for (const wchar_t* arguments : {L"setup", L"ui"}) {
        const HostRun run = RunHost(arguments);
        EXPECT_EQ(run.exitCode, 2u) << arguments;
        EXPECT_NE(run.err.find("needs a display"), std::string::npos) << run.err;
        EXPECT_TRUE(run.lines.empty());
    }
}

TEST(SetupProgram, SavedResultLoadsBackWithTheSameSettings)
{
    const std::wstring settings = TempFile(L"sts", OneOutputOn);
    const std::wstring script = TempFile(L"stc", "ok\n");
    const std::wstring saved = TempFile(L"std", "");
    const HostRun first = RunSetup(L"--settings " + Quoted(settings) + L" --script " + Quoted(script) + L" --save " +
                            Quoted(saved));
    EXPECT_EQ(first.exitCode, 0u) << first.err;
    const std::wstring cancel = TempFile(L"stc", "cancel\n");
    const HostRun second = RunSetup(L"--doc " + Quoted(saved) + L" --script " + Quoted(cancel));
    EXPECT_EQ(second.exitCode, 0u) << second.err;
    auto settingsOf = [](const HostRun& run) {
        std::vector<std::string> tail;
        bool in = false;
        for (const std::string& line : run.lines) {
            if (in)
                tail.push_back(line);
            in = in || line == "Settings:";
        }
        return tail;
    };
    EXPECT_FALSE(settingsOf(first).empty());
    EXPECT_EQ(settingsOf(first), settingsOf(second));
    for (const std::wstring& file : {settings, script, saved, cancel})
        DeleteFileW(file.c_str());
}

} // namespace
