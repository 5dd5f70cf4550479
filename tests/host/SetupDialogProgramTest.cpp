// "VireoHost.exe setup" with scripts that edit the setup dialog as a user would.

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring Script(const std::string& text)
{
    wchar_t dir[MAX_PATH];
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"sdp", 0, file);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

// The printed lines of "VireoHost.exe setup --script SCRIPT"; the script file is removed.
std::vector<std::string> PlayScript(const std::string& script)
{
    const std::wstring scriptPath = Script(script);
    VireoTest::ChildOptions options;
    options.separateError = true;
    const VireoTest::ChildResult run = VireoTest::RunChild(VireoTest::ExecutableFolder() + L"VireoHost.exe",
                                                           L"setup --script \"" + scriptPath + L"\"", options);
    DeleteFileW(scriptPath.c_str());
    std::fputs(run.error.c_str(), stderr);
    std::vector<std::string> lines;
    std::istringstream text(run.output);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

// A little-endian 32-bit field of a printed record, by byte offset.
int32_t Field(const std::string& setOutputLine, size_t offset)
{
    const std::string hex = setOutputLine.substr(10);
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(std::stoul(hex.substr((offset + i) * 2, 2), nullptr, 16)) << (8 * i);
    return static_cast<int32_t>(value);
}

TEST(SetupDialogProgram, EditsOfTheDialogReachTheUnit)
{
    const std::vector<std::string> lines =
        PlayScript("tab 2\nclick onoff 216\nclick rule0 231\nselect rule1 204 2\ntype rule1 207 1.5\nleave\n"
                   "dump\nok\n");
    EXPECT_EQ(Starting(lines, "tab 2: ").at(0), "tab 2: Digital Output 1 \xE2\x80\xA2 (selected)");
    EXPECT_EQ(Starting(lines, "rule1 204 ").at(0), "rule1 204 list enabled shown \"Input 3\" 2");
    EXPECT_EQ(Starting(lines, "rule1 207 ").at(0), "rule1 207 edit enabled shown \"1.5\" -");
    EXPECT_EQ(Starting(lines, "DialogResult"), std::vector<std::string>{"DialogResult 1"});
    const std::vector<std::string> records = Starting(lines, "SetOutput ");
    ASSERT_EQ(records.size(), 10u);
    const std::string& digital = records[2];
    EXPECT_EQ(Field(digital, 8), -1);
    EXPECT_EQ(Field(digital, 12), 1) << "on, all rules";
    // Second slot: 1.5 V of the 2 V input is 75 % of full scale, on input byte 3.
    EXPECT_EQ(Field(digital, 64 + 4), 24000);
    EXPECT_EQ(Field(digital, 64 + 12) & 0xFF, 3);
    EXPECT_EQ(Starting(lines, "SwitchOff").size(), 1u);
}

TEST(SetupDialogProgram, SliderAndUpDownMoveTheLevelTogether)
{
    const std::vector<std::string> lines =
        PlayScript("tab 0\nclick onoff 216\nslide rule0 205 40\nspin rule0 208 3\nspin rule0 208 -1\ndump\ncancel\n");
    EXPECT_EQ(Starting(lines, "rule0 205 ").at(0), "rule0 205 slider enabled shown \"\" 42");
    EXPECT_EQ(Starting(lines, "rule0 208 ").at(0), "rule0 208 updown enabled shown \"\" 42");
    EXPECT_EQ(Starting(lines, "DialogResult"), std::vector<std::string>{"DialogResult 2"});
    EXPECT_TRUE(Starting(lines, "SetOutput").empty());
}

TEST(SetupDialogProgram, ARefusedOkShowsItsBoxAndLeavesTheDialogOpen)
{
    const std::vector<std::string> lines =
        PlayScript("tab 0\nclick onoff 216\ntype settings 221 99999\nok\ndump\n");
    ASSERT_FALSE(Starting(lines, "MessageBox: ").empty());
    EXPECT_FALSE(Starting(lines, "caption: ").empty()) << "the dialog was still there to dump";
    EXPECT_EQ(Starting(lines, "DialogResult"), std::vector<std::string>{"DialogResult 2"});
    EXPECT_TRUE(Starting(lines, "SetOutput").empty());
}

TEST(SetupDialogProgram, RestingOnTheHelpButtonShowsItsHintUntilThePointerLeaves)
{
    const std::vector<std::string> hints =
        Starting(PlayScript("hover dialog 9 900\ndump\naway\nwait 50\ndump\n"), "hint: ");
    ASSERT_EQ(hints.size(), 2u);
    EXPECT_EQ(hints[0].rfind("hint: \"Get dialog help\" ", 0), 0u) << hints[0];
    EXPECT_EQ(hints[1], "hint: none");
}

} // namespace
