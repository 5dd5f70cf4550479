// Test entry: GoogleTest with the leak-check listener.

#include "ChildProcess.h"
#include "LeakCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace VireoTest {
namespace {

struct Counter {
    std::string name;
    std::function<long()> count;
    long before = 0;
};

std::vector<Counter>& Counters()
{
    static std::vector<Counter> counters;
    return counters;
}

class LeakChecker : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        for (auto& c : Counters())
            c.before = c.count();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        for (auto& c : Counters()) {
            const long after = c.count();
            EXPECT_LE(after, c.before) << "Leaked " << (after - c.before) << " " << c.name;
        }
    }
};

} // namespace

void RegisterLiveCounter(const std::string& name, std::function<long()> count)
{
    Counters().push_back({name, std::move(count)});
}

} // namespace VireoTest

int main(int argc, char** argv)
{
    VireoTest::UsePrivateDesktop();
    testing::InitGoogleMock(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new VireoTest::LeakChecker);
    return RUN_ALL_TESTS();
}
