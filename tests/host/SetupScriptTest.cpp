// The setup command's script language and command line.

#include "CommandLine.h"
#include "SetupScript.h"

#include <gtest/gtest.h>

using namespace VireoHost;

namespace {

TEST(SetupScript, ReadsEveryActionWithItsOperands)
{
    std::vector<ScriptAction> actions;
    const ScriptResult result = ParseScript(L"# a comment\n\ntab 3\nclick onoff 216\nselect rule2 206 1\n"
                                            L"type settings 204 12.5 ms\nspin rule0 7 -2\nslide rule3 5 40\n"
                                            L"hover dialog 9 600\naway\nwait 250\nleave\ndump\nshot first\nok\n"
                                            L"type rule1 3 \ncancel\n",
                                            actions);
    ASSERT_TRUE(result.ok) << result.line;
    ASSERT_EQ(actions.size(), 15u);
    EXPECT_EQ(actions[0].kind, ActionKind::Tab);
    EXPECT_EQ(actions[0].number, 3);
    EXPECT_EQ(actions[0].line, 3);
    EXPECT_EQ(actions[1].pane, Pane::OnOff);
    EXPECT_EQ(actions[1].control, 216);
    EXPECT_EQ(actions[2].pane, Pane::Rule2);
    EXPECT_EQ(actions[2].number, 1);
    EXPECT_EQ(actions[3].text, L"12.5 ms");
    EXPECT_EQ(actions[4].number, -2);
    EXPECT_EQ(actions[5].pane, Pane::Rule3);
    EXPECT_EQ(actions[6].number, 600);
    EXPECT_EQ(actions[11].text, L"first");
    EXPECT_EQ(actions[12].kind, ActionKind::Ok);
    EXPECT_EQ(actions[13].text, L"");
    EXPECT_EQ(actions[14].kind, ActionKind::Cancel);
}

TEST(SetupScript, BadLinesNameTheirNumberAndReason)
{
    struct Case {
        const wchar_t* script;
        int line;
        const wchar_t* message;
    } cases[] = {
        {L"tab 1\npress ok\n", 2, L"unknown action press"},
        {L"click pane 1\n", 1, L"unknown pane pane"},
        {L"click onoff\n", 1, L"missing control id"},
        {L"click onoff x1\n", 1, L"bad control id x1"},
        {L"select onoff 206\n", 1, L"missing number"},
        {L"select onoff 206 -1\n", 1, L"bad number -1"},
        {L"tab\n", 1, L"missing number"},
        {L"wait 99999999999\n", 1, L"bad number 99999999999"},
        {L"\n\nok now\n", 3, L"unexpected text after ok"},
        {L"shot ..\\x\n", 1, L"shot needs a plain file name"},
        {L"shot\n", 1, L"shot needs a plain file name"},
        {L"click rule4 1\n", 1, L"unknown pane rule4"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptAction> actions;
        const ScriptResult result = ParseScript(c.script, actions);
        EXPECT_FALSE(result.ok) << c.script;
        EXPECT_EQ(result.line, c.line) << c.script;
        EXPECT_EQ(result.message, c.message) << c.script;
    }
}

TEST(SetupScript, PanesMapToTheDialogsPaneProperty)
{
    EXPECT_EQ(PanePropertyValue(Pane::OnOff), 0);
    EXPECT_EQ(PanePropertyValue(Pane::Rule0), 1);
    EXPECT_EQ(PanePropertyValue(Pane::Rule3), 4);
    EXPECT_EQ(PanePropertyValue(Pane::Settings), 5);
    EXPECT_STREQ(PaneName(Pane::Rule1), L"rule1");
}

TEST(SetupCommandLine, TakesItsOptionsAndRefusesClashes)
{
    CommandLine command;
    std::wstring error;
    ASSERT_TRUE(ParseCommandLine({L"setup", L"--unit", L"u.ini", L"--doc", L"d.kdoc", L"--script", L"s.txt",
                                  L"--shots", L"pics", L"--save", L"out.kdoc"},
                                 command, error))
        << error;
    EXPECT_EQ(command.verb, Verb::Setup);
    EXPECT_EQ(command.unitIni, L"u.ini");
    EXPECT_EQ(command.setup.documentPath, L"d.kdoc");
    EXPECT_EQ(command.setup.scriptPath, L"s.txt");
    EXPECT_EQ(command.setup.shotsDirectory, L"pics");
    EXPECT_EQ(command.savePath, L"out.kdoc");

    CommandLine ui;
    ASSERT_TRUE(ParseCommandLine({L"ui", L"doc.kdoc"}, ui, error)) << error;
    EXPECT_EQ(ui.verb, Verb::Ui);
    EXPECT_EQ(ui.setup.documentPath, L"doc.kdoc");

    const std::vector<std::vector<std::wstring>> bad = {
        {L"setup", L"--settings", L"a.txt", L"--doc", L"b.kdoc"},
        {L"setup", L"stray"},
        {L"setup", L"--script"},
        {L"setup", L"--script", L"a", L"--script", L"b"},
        {L"ui", L"--script", L"a"},
        {L"ui", L"a.kdoc", L"b.kdoc"},
        {L"setup", L"--bogus", L"x"},
    };
    for (const auto& args : bad) {
        CommandLine refused;
        EXPECT_FALSE(ParseCommandLine(args, refused, error)) << args[1];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
