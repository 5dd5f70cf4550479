#include "eventconfig/UnitTest.h"

#include <atomic>
#include <cstring>
#include <string>

namespace {

std::atomic<long> g_liveTests{0};

QLXString FromUtf8(const char* text)
{
    return QLXString::FromNarrow(text, CP_UTF8);
}

// Hands a string across the interface with one reference for the caller.
HRESULT HandOut(const QLXString& text, IQLXString** out)
{
    if (!out)
        return E_POINTER;
    *out = text.GetInterface();
    return S_OK;
}

} // namespace

const char* UnitTestException::what() const noexcept
{
    try {
        return message_.NarrowText();
    } catch (...) {
        return "UnitTestException";
    }
}

UnitTestBase::UnitTestBase()
{
    ++g_liveTests;
}

UnitTestBase::~UnitTestBase()
{
    --g_liveTests;
}

long UnitTestBase::LiveObjects()
{
    return g_liveTests.load();
}

QLXString UnitTestBase::FailureText(const char* file, int line, const char* expression, const char* message)
{
    const char* name = file ? file : "";
    for (const char* p = name; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;

    QLXString text = FromUtf8(name);
    text.Append(L", Line ");
    text.Append(std::to_wstring(line).c_str());
    if (expression && *expression) {
        text.Append(L" [");
        text.Append(FromUtf8(expression));
        text.Append(L"]");
    }
    if (message && *message) {
        text.Append(L", [");
        text.Append(FromUtf8(message));
        text.Append(L"]");
    }
    return text;
}

void UnitTestBase::Fail(const char* file, int line, const char* expression, const char* message)
{
    throw UnitTestException(FailureText(file, line, expression, message));
}

void UnitTestBase::AddTest(const boost::function<void()>& test, const QLXString& name, double value)
{
    tests_.push_back(test);
    names_.push_back(name);
    values_.push_back(value);
}

bool UnitTestBase::ValidIndex(LONG index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < tests_.size();
}

HRESULT UnitTestBase::GetTestCount(LONG* count)
{
    if (!count)
        return E_FAIL;
    *count = static_cast<LONG>(tests_.size());
    return S_OK;
}

HRESULT UnitTestBase::RunTest(LONG index)
{
    try {
        if (!ValidIndex(index))
            return E_INVALIDARG;
        passed_ = true;
        message_ = QLXString();
        try {
            SetUp();
            tests_[static_cast<std::size_t>(index)]();
            TearDown();
        } catch (const UnitTestException& failure) {
            passed_ = false;
            message_ = failure.Message();
        }
        return S_OK;
    } catch (const std::exception& error) {
        // Not a failed check but a broken test; it must not cross into the host.
        passed_ = false;
        message_ = QLXString::FromNarrow(error.what(), 1);
        return E_FAIL;
    } catch (...) {
        passed_ = false;
        message_ = QLXString();
        return E_FAIL;
    }
}

HRESULT UnitTestBase::GetTestName(LONG index, IQLXString** name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    if (!ValidIndex(index))
        return E_INVALIDARG;
    return HandOut(names_[static_cast<std::size_t>(index)], name);
}

HRESULT UnitTestBase::GetResult(VARIANT_BOOL* passed, IQLXString** message)
{
    if (!passed || !message) {
        if (message)
            *message = nullptr;
        return E_POINTER;
    }
    *passed = passed_ ? VARIANT_TRUE : VARIANT_FALSE;
    return HandOut(message_, message);
}

HRESULT UnitTestBase::Initialise(void* first, void* second, void* third)
{
    try {
        RegisterTests(first, second, third);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT UnitTestBase::GetOwner(IQLXString** owner)
{
    if (!owner)
        return E_POINTER;
    *owner = nullptr;
    try {
        SetOwner();
        return HandOut(owner_, owner);
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT UnitTestBase::GetTestValue(LONG index, double* value)
{
    if (!value)
        return E_POINTER;
    if (!ValidIndex(index))
        return E_INVALIDARG;
    *value = values_[static_cast<std::size_t>(index)];
    return S_OK;
}
