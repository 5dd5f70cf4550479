#include "CommandLine.h"

#include <gtest/gtest.h>

using namespace VireoHost;

namespace {

bool Parse(std::vector<std::wstring> args, CommandLine& command)
{
    std::wstring error;
    const bool ok = ParseCommandLine(args, command, error);
    EXPECT_EQ(ok, error.empty());
    return ok;
}

TEST(HostCommandLine, ApplyTakesTheUnitAndSaveOptionsAroundItsSettingsFile)
{
    CommandLine command;
    ASSERT_TRUE(Parse({L"apply", L"--unit", L"u.ini", L"s.txt", L"--save", L"d.kdoc"}, command));
    EXPECT_EQ(command.verb, Verb::Apply);
    EXPECT_EQ(command.unitIni, L"u.ini");
    EXPECT_EQ(command.input, L"s.txt");
    EXPECT_EQ(command.savePath, L"d.kdoc");
    CommandLine plain;
    ASSERT_TRUE(Parse({L"apply", L"s.txt"}, plain));
    EXPECT_TRUE(plain.unitIni.empty());
    EXPECT_TRUE(plain.savePath.empty());
}

TEST(HostCommandLine, NotifyNamesItsEventsInOrder)
{
    CommandLine command;
    ASSERT_TRUE(Parse({L"notify", L"d.kdoc", L"stop", L"attach", L"settings"}, command));
    ASSERT_EQ(command.events.size(), 3u);
    EXPECT_EQ(command.events[0]->offset, 16);
    EXPECT_EQ(command.events[1]->offset, 13);
    EXPECT_TRUE(command.events[2]->hasFlag);
    EXPECT_EQ(command.events[2]->flag, 1);
    EXPECT_TRUE(FindNotification(L"device")->deviceGroup);
}

TEST(HostCommandLine, RefusesWhatTheFormsDoNotAllow)
{
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"frobnicate"},
        {L"apply"},
        {L"apply", L"a.txt", L"b.txt"},
        {L"apply", L"a.txt", L"--save"},
        {L"apply", L"--unit", L"u", L"--unit", L"v", L"a.txt"},
        {L"load", L"d", L"--save", L"x"},
        {L"stream", L"--unit", L"u", L"d"},
        {L"stream"},
        {L"notify", L"d"},
        {L"notify", L"d", L"explode"},
        {L"selftest", L"extra"},
        {L"load", L"--verbose", L"d"},
    };
    for (const auto& args : bad) {
        CommandLine command;
        std::wstring error;
        EXPECT_FALSE(ParseCommandLine(args, command, error))
            << (args.empty() ? "" : std::string(args[0].begin(), args[0].end()));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
