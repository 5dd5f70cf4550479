// The self-test's failure messages name lines of its source file, which the host's
// users see; this pins each check to the line and expression text it must report.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// The module source tree as Wine sees it, found from this file's own path.
std::string SourceFile(const std::string& relative)
{
    std::string here = __FILE__;
    const std::string marker = "tests/eventconfig/";
    const std::size_t at = here.rfind(marker);
    if (at == std::string::npos)
        return relative;
    std::string root = here.substr(0, at);
    if (!root.empty() && root[0] == '/')
        root = "Z:" + root;
    return root + relative;
}

} // namespace

TEST(EventConfigSelfTest, ChecksSitOnTheirReportedLines)
{
    std::ifstream source(SourceFile("eventconfig/test_eventconfig.cpp"));
    ASSERT_TRUE(source.good()) << SourceFile("eventconfig/test_eventconfig.cpp");
    std::vector<std::string> lines(1);
    for (std::string line; std::getline(source, line);)
        lines.push_back(line);

    const struct {
        int line;
        const char* expression;
    } checks[] = {
        {19, "file1==file2"},
        {20, "ef1.GetCount() == ef2.GetCount()"},
        {28, "name1 == name2"},
        {33, "a == b"},
        {35, "ef1.GetRuleCount( ei ) == ef2.GetRuleCount( ei )"},
        {43, "ra == rb"},
        {69, "ruleCount == 1"},
        {71, "rule_other.Input == 2"},
    };
    int found = 0;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        if (lines[n].find("UNIT_TEST_ASSERT") == std::string::npos)
            continue;
        ++found;
        bool expected = false;
        for (const auto& check : checks) {
            if (static_cast<std::size_t>(check.line) == n) {
                expected = true;
                EXPECT_NE(std::string::npos, lines[n].find(std::string("UNIT_TEST_ASSERT(") + check.expression + ");"))
                    << "line " << n << ": " << lines[n];
            }
        }
        EXPECT_TRUE(expected) << "unexpected check on line " << n;
    }
    EXPECT_EQ(8, found);
}
