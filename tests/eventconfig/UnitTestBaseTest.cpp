// The self-test framework and the module's own self-test, driven through IUnitTest.

#include "eventconfig/UnitTest.h"
#include "eventconfig/Vireo_EventConfig.h"

#include "support/LeakCheck.h"

#include <boost/bind/bind.hpp>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

const bool g_countersRegistered = [] {
    QLXString warm; // the shared empty string lives for the process
    (void)warm;
    VireoTest::RegisterLiveCounter("strings", [] { return QLXString::LiveRepresentations(); });
    VireoTest::RegisterLiveCounter("unit tests", [] { return UnitTestBase::LiveObjects(); });
    return true;
}();

// Takes over a string handed out through the interface.
std::wstring Take(IQLXString* text)
{
    if (!text)
        return L"<null>";
    return QLXString::Attach(text).c_str();
}

// Calls IUnitTest by virtual-table slot, as the host's registry does.
class ByPosition {
public:
    explicit ByPosition(IUnitTest* test) : object_(test), slots_(*reinterpret_cast<void***>(test)) {}

    HRESULT GetTestCount(LONG* count) { return Call<HRESULT, LONG*>(3, count); }
    HRESULT RunTest(LONG index) { return Call<HRESULT, LONG>(4, index); }
    HRESULT GetTestName(LONG index, IQLXString** name) { return Call<HRESULT, LONG, IQLXString**>(5, index, name); }
    HRESULT GetResult(VARIANT_BOOL* passed, IQLXString** message)
    {
        return Call<HRESULT, VARIANT_BOOL*, IQLXString**>(6, passed, message);
    }
    HRESULT Initialise() { return Call<HRESULT, void*, void*, void*>(7, nullptr, nullptr, nullptr); }
    HRESULT GetOwner(IQLXString** owner) { return Call<HRESULT, IQLXString**>(8, owner); }
    HRESULT GetTestValue(LONG index, double* value) { return Call<HRESULT, LONG, double*>(9, index, value); }

private:
    template <class R, class... A>
    R Call(int slot, A... args)
    {
        using Function = R(STDMETHODCALLTYPE*)(void*, A...);
        return reinterpret_cast<Function>(slots_[slot])(object_, args...);
    }

    void* object_;
    void** slots_;
};

// A test class whose tests pass, fail a check, or break, and which logs its hooks.
class SampleTests : public UnitTestBase {
public:
    std::vector<std::string> log;
    int failLine = 0;

    void Passes() { log.push_back("passes"); }
    void FailsACheck()
    {
        log.push_back("fails");
        failLine = __LINE__ + 1;
        UNIT_TEST_ASSERT(1 + 1 == 3);
    }
    void FailsWithAMessage()
    {
        failLine = __LINE__ + 1;
        UNIT_TEST_ASSERT_MSG(log.size() > 100, "too few");
    }
    void Breaks() { throw std::runtime_error("Online Events: Illegal event insertion."); }

protected:
    void RegisterTests(void*, void*, void*) override
    {
        AddTest(boost::bind(&SampleTests::Passes, this), QLXString(L"Sample::Passes"), 1.0);
        AddTest(boost::bind(&SampleTests::FailsACheck, this), QLXString(L"Sample::FailsACheck"), 2.0);
        AddTest(boost::bind(&SampleTests::FailsWithAMessage, this), QLXString(L"Sample::FailsWithAMessage"), 3.0);
        AddTest(boost::bind(&SampleTests::Breaks, this), QLXString(L"Sample::Breaks"), 4.0);
        AddTest(boost::function<void()>(), QLXString(L"Sample::Empty"), 5.0);
    }
    void SetOwner() override { owner_ = QLXString(L"owner"); }
    void SetUp() override { log.push_back("setup"); }
    void TearDown() override { log.push_back("teardown"); }
};

struct Result {
    bool passed;
    std::wstring message;
};

Result ResultOf(ByPosition& test)
{
    VARIANT_BOOL passed = 1;
    IQLXString* message = nullptr;
    EXPECT_EQ(S_OK, test.GetResult(&passed, &message));
    EXPECT_TRUE(passed == VARIANT_TRUE || passed == VARIANT_FALSE);
    return {passed == VARIANT_TRUE, Take(message)};
}

} // namespace

TEST(EventConfigSelfTest, PassesThroughTheInterfaceCalledByPosition)
{
    IUnitTest* test = new Vireo_EventConfig;
    EXPECT_EQ(1u, test->AddRef());
    ByPosition calls(test);

    LONG count = -1;
    EXPECT_EQ(S_OK, calls.GetTestCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(S_OK, calls.Initialise());
    EXPECT_EQ(S_OK, calls.GetTestCount(&count));
    EXPECT_EQ(1, count);

    IQLXString* name = nullptr;
    EXPECT_EQ(S_OK, calls.GetTestName(0, &name));
    EXPECT_EQ(L"Vireo_EventConfig::TestSerialize", Take(name));
    double value = 0;
    EXPECT_EQ(S_OK, calls.GetTestValue(0, &value));
    EXPECT_EQ(60.0, value);

    EXPECT_EQ(S_OK, calls.RunTest(0));
    const Result result = ResultOf(calls);
    EXPECT_TRUE(result.passed);
    EXPECT_EQ(L"", result.message);

    IQLXString* owner = nullptr;
    EXPECT_EQ(S_OK, calls.GetOwner(&owner));
    EXPECT_NE(std::wstring::npos, Take(owner).find(L'@'));

    EXPECT_EQ(0u, test->Release());
}

TEST(EventConfigSelfTest, GetTestCountWithoutOutPointerFails)
{
    Vireo_EventConfig test;
    EXPECT_EQ(E_FAIL, test.GetTestCount(nullptr));
}

TEST(EventConfigSelfTest, AnswersOnlyItsOwnInterfaces)
{
    IUnitTest* test = new Vireo_EventConfig;
    test->AddRef();
    void* object = nullptr;
    EXPECT_EQ(S_OK, test->QueryInterface(IID_IUnitTest, &object));
    EXPECT_EQ(static_cast<void*>(test), object);
    EXPECT_EQ(S_OK, test->QueryInterface(IID_IUnknown, &object));
    EXPECT_EQ(static_cast<void*>(test), object);
    object = test;
    EXPECT_EQ(E_NOINTERFACE, test->QueryInterface(IID_IQLXString, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, test->QueryInterface(IID_IUnitTest, nullptr));
    // One reference of our own and two from the successful queries.
    EXPECT_EQ(2u, test->Release());
    EXPECT_EQ(1u, test->Release());
    EXPECT_EQ(0u, test->Release());
}

TEST(UnitTestFramework, FailedCheckReportsFileLineAndExpression)
{
    SampleTests* tests = new SampleTests;
    tests->AddRef();
    ByPosition calls(tests);
    calls.Initialise();

    EXPECT_EQ(S_OK, calls.RunTest(1));
    Result result = ResultOf(calls);
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(L"UnitTestBaseTest.cpp, Line " + std::to_wstring(tests->failLine) + L" [1 + 1 == 3]", result.message);
    // The check ends the test: no tear-down.
    EXPECT_EQ((std::vector<std::string>{"setup", "fails"}), tests->log);

    EXPECT_EQ(S_OK, calls.RunTest(2));
    result = ResultOf(calls);
    EXPECT_EQ(L"UnitTestBaseTest.cpp, Line " + std::to_wstring(tests->failLine) + L" [log.size() > 100], [too few]",
              result.message);

    EXPECT_EQ(S_OK, calls.RunTest(0));
    result = ResultOf(calls);
    EXPECT_TRUE(result.passed);
    EXPECT_EQ(L"", result.message);
    tests->Release();
}

TEST(UnitTestFramework, FailureTextDropsTheDirectory)
{
    EXPECT_EQ(QLXString(L"test_eventconfig.cpp, Line 33 [a == b]"),
              UnitTestBase::FailureText("C:\\build\\vireo\\eventconfig\\test_eventconfig.cpp", 33, "a == b", ""));
    EXPECT_EQ(QLXString(L"test_eventconfig.cpp, Line 19 [file1==file2]"),
              UnitTestBase::FailureText("/src/eventconfig/test_eventconfig.cpp", 19, "file1==file2", ""));
    EXPECT_EQ(QLXString(L"x.cpp, Line 7"), UnitTestBase::FailureText("x.cpp", 7, "", ""));
    EXPECT_EQ(QLXString(L"x.cpp, Line 7, [why]"), UnitTestBase::FailureText("dir/x.cpp", 7, "", "why"));
}

TEST(UnitTestFramework, HooksRunAroundEachTest)
{
    SampleTests* tests = new SampleTests;
    tests->AddRef();
    tests->Initialise(nullptr, nullptr, nullptr);
    EXPECT_EQ(S_OK, tests->RunTest(0));
    EXPECT_EQ((std::vector<std::string>{"setup", "passes", "teardown"}), tests->log);
    tests->Release();
}

// A broken test is not allowed to throw into the host: it is reported as a failed run.
TEST(UnitTestFramework, BrokenTestFailsWithoutLeavingTheInterface)
{
    SampleTests* tests = new SampleTests;
    tests->AddRef();
    ByPosition calls(tests);
    calls.Initialise();
    EXPECT_EQ(E_FAIL, calls.RunTest(3));
    Result result = ResultOf(calls);
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(L"Online Events: Illegal event insertion.", result.message);

    EXPECT_EQ(E_FAIL, calls.RunTest(4)); // an empty callable
    EXPECT_FALSE(ResultOf(calls).passed);
    tests->Release();
}

TEST(UnitTestFramework, IndexOutsideTheTestsIsRefused)
{
    SampleTests* tests = new SampleTests;
    tests->AddRef();
    ByPosition calls(tests);
    calls.Initialise();
    IQLXString* name = reinterpret_cast<IQLXString*>(1);
    double value = -1;
    EXPECT_EQ(E_INVALIDARG, calls.RunTest(5));
    EXPECT_EQ(E_INVALIDARG, calls.GetTestName(-1, &name));
    EXPECT_EQ(nullptr, name);
    EXPECT_EQ(E_INVALIDARG, calls.GetTestValue(5, &value));
    EXPECT_EQ(-1, value);
    EXPECT_EQ(E_POINTER, calls.GetTestName(0, nullptr));
    EXPECT_EQ(E_POINTER, calls.GetResult(nullptr, nullptr));
    tests->Release();
}

TEST(UnitTestFramework, NewTestObjectHasPassedAndEmptyTexts)
{
    SampleTests* tests = new SampleTests;
    EXPECT_EQ(1u, tests->AddRef());
    ByPosition calls(tests);
    const Result result = ResultOf(calls);
    EXPECT_TRUE(result.passed);
    EXPECT_EQ(L"", result.message);
    tests->Release();
}
