#pragma once
// A small unit-test framework that the host's test registry drives through IUnitTest:
// a test class registers named test functions and checks with UNIT_TEST_ASSERT.

#include "hostapi/HostInterfaces.h"
#include "foundation/QLXString.h"
#include "foundation/UnknownImp.h"

#include <boost/function.hpp>

#include <exception>
#include <vector>

// A failed check; RunTest turns it into a failed result.
class UnitTestException : public std::exception {
public:
    explicit UnitTestException(const QLXString& message) : message_(message) {}
    const char* what() const noexcept override;
    const QLXString& Message() const { return message_; }

private:
    mutable QLXString message_; // mutable: the narrow copy is cached in the string
};

// Base of every test class: keeps the registered tests and the last result.
class UnitTestBase : public SimpleUnknownImp1<IUnitTest, 0> {
public:
    HRESULT STDMETHODCALLTYPE GetTestCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE RunTest(LONG index) override;
    HRESULT STDMETHODCALLTYPE GetTestName(LONG index, IQLXString** name) override;
    HRESULT STDMETHODCALLTYPE GetResult(VARIANT_BOOL* passed, IQLXString** message) override;
    HRESULT STDMETHODCALLTYPE Initialise(void* first, void* second, void* third) override;
    HRESULT STDMETHODCALLTYPE GetOwner(IQLXString** owner) override;
    HRESULT STDMETHODCALLTYPE GetTestValue(LONG index, double* value) override;
    ~UnitTestBase() override;

    // "file, Line n [expression], [message]", the file without its directory.
    static QLXString FailureText(const char* file, int line, const char* expression, const char* message);
    [[noreturn]] static void Fail(const char* file, int line, const char* expression, const char* message);

    // Test objects alive in the process, for leak checks.
    static long LiveObjects();

protected:
    UnitTestBase();

    virtual void RegisterTests(void* first, void* second, void* third) = 0;
    virtual void SetOwner() = 0;
    virtual void SetUp() {}
    virtual void TearDown() {}

    void AddTest(const boost::function<void()>& test, const QLXString& name, double value);

private:
    bool ValidIndex(LONG index) const;

    std::vector<boost::function<void()>> tests_;
    std::vector<QLXString> names_;
    std::vector<double> values_; // handed to the registry as they are
    bool passed_ = true;
    QLXString message_;

protected:
    QLXString owner_; // the author's contact, filled by SetOwner
};

#define UNIT_TEST_ASSERT(expression)                                                                                   \
    do {                                                                                                               \
        if (!(expression))                                                                                             \
            UnitTestBase::Fail(__FILE__, __LINE__, #expression, "");                                                   \
    } while (0)

#define UNIT_TEST_ASSERT_MSG(expression, message)                                                                      \
    do {                                                                                                               \
        if (!(expression))                                                                                             \
            UnitTestBase::Fail(__FILE__, __LINE__, #expression, message);                                              \
    } while (0)
