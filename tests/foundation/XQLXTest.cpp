// Status-carrying exceptions: message lookup and the start-up log line.

#include "foundation/XQLX.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

// Takes over the standard wide error stream for one test and counts flushes.
class StartupLogCapture {
public:
    StartupLogCapture() : previous_(std::wcerr.rdbuf(&buffer_)) {}
    ~StartupLogCapture() { std::wcerr.rdbuf(previous_); }
    StartupLogCapture(const StartupLogCapture&) = delete;
    StartupLogCapture& operator=(const StartupLogCapture&) = delete;

    std::wstring Text() const { return buffer_.str(); }
    int Flushes() const { return buffer_.flushes; }

private:
    struct CountingBuffer : std::wstringbuf {
        int flushes = 0;
        int sync() override
        {
            ++flushes;
            return std::wstringbuf::sync();
        }
    };

    CountingBuffer buffer_;
    std::wstreambuf* previous_;
};

// Stands in for the real error stream in the "C" locale: characters it cannot
// convert are refused, and the stream goes bad in the middle of a line.
class AsciiOnlyLog : public std::wstreambuf {
public:
    AsciiOnlyLog() : previous_(std::wcerr.rdbuf(this)) {}
    ~AsciiOnlyLog() override
    {
        std::wcerr.rdbuf(previous_);
        std::wcerr.clear();
    }
    AsciiOnlyLog(const AsciiOnlyLog&) = delete;
    AsciiOnlyLog& operator=(const AsciiOnlyLog&) = delete;

    std::wstring text;
    // How much of the text had been written when the stream was last flushed.
    size_t flushedUpTo = 0;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        if (c > 0x7F)
            return traits_type::eof();
        text += traits_type::to_char_type(c);
        return c;
    }
    int sync() override
    {
        flushedUpTo = text.size();
        return 0;
    }

private:
    std::wstreambuf* previous_;
};

std::wstring HostString(UINT id)
{
    QLXString text = LoadResourceString(GetModuleHandleW(nullptr), id, true);
    return text.c_str();
}

std::wstring Text(const QLXString& s)
{
    return std::wstring(s.c_str(), s.Length());
}

} // namespace

TEST(XQLXMessage, StorageCodeKeepsItsCodeAndTakesTheMappedHostText)
{
    StartupLogCapture log;
    XQLX error(static_cast<HRESULT>(0x80030105));
    EXPECT_EQ(static_cast<HRESULT>(0x80030105), error.Code());
    // Host string 57349 with its product word replaced and the missing "." added.
    EXPECT_EQ(L"The Kestrana document storage could not be opened.", Text(error.Message()));
    EXPECT_EQ(HostString(57349) + L".", Text(error.Message()));
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: The Kestrana document storage could not be opened.\n", log.Text());
}

TEST(XQLXMessage, Win32CodeIsLookedUpByItsLowWordAndEndsWithOneDot)
{
    StartupLogCapture log;
    XQLX error(static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(static_cast<HRESULT>(0x80070005), error.Code());

    wchar_t expected[512] = {};
    ASSERT_NE(0u, FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 ERROR_ACCESS_DENIED, 0, expected, 511, nullptr));
    std::wstring text = Text(error.Message());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(0u, std::wstring(expected).find(text.substr(0, text.size() - 1)));
    EXPECT_EQ(L'.', text.back());
    EXPECT_NE(L'.', text[text.size() - 2]);
    EXPECT_EQ(std::wstring::npos, text.find_first_of(L"\r\n"));
}

TEST(XQLXMessage, GenericCodeHasNoTextAndLogsBarePrefixes)
{
    StartupLogCapture log;
    XQLX error(XQLX::GenericCode);
    EXPECT_TRUE(error.Message().IsEmpty());
    EXPECT_STREQ("", error.what());
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: \n", log.Text());
    EXPECT_GE(log.Flushes(), 1);
}

TEST(XQLXMessage, OwnCodesWithoutResourceHaveNoText)
{
    StartupLogCapture log;
    for (DWORD code : {0xA004820Au, 0xA004820Fu, 0xA0048211u, 0xA004821Eu, 0xA0048220u, 0xA004FFFFu}) {
        XQLX error(static_cast<HRESULT>(code));
        EXPECT_TRUE(error.Message().IsEmpty()) << std::hex << code;
        EXPECT_EQ(static_cast<HRESULT>(code), error.Code());
    }
}

TEST(XQLXMessage, OwnCodesTakeTheirHostStrings)
{
    StartupLogCapture log;
    const struct {
        DWORD code;
        UINT resource;
    } table[] = {{0xA0048200, 57345}, {0xA0048201, 57346}, {0xA0048202, 57347}, {0xA0048203, 57348},
                 {0xA0048204, 57349}, {0xA0048205, 57349}, {0xA0048206, 57352}, {0xA0048207, 57350},
                 {0xA0048208, 57351}, {0xA0048209, 57354}, {0xA0048212, 57358}, {0xA004821A, 57359},
                 {0xA004821B, 57360}, {0xA004821D, 57361}};
    for (const auto& entry : table) {
        std::wstring expected = HostString(entry.resource);
        ASSERT_FALSE(expected.empty()) << entry.resource;
        if (expected.back() != L'.')
            expected += L'.';
        EXPECT_EQ(expected, Text(XQLX::MessageForCode(static_cast<HRESULT>(entry.code)))) << std::hex << entry.code;
    }
    // The failure bit is not what makes a code one of the module's own.
    EXPECT_EQ(HostString(57348), Text(XQLX::MessageForCode(static_cast<HRESULT>(0x20048203))));
}

TEST(XQLXMessage, ProductWordsOfHostStringsAreReplaced)
{
    EXPECT_EQ(L"The Kestrana configuration could not be read.",
              Text(XQLX::MessageForCode(static_cast<HRESULT>(0xA004821A))));
    EXPECT_EQ(L"The Veltrisk licence does not permit this operation.",
              Text(XQLX::MessageForCode(static_cast<HRESULT>(0xA0048212))));
}

TEST(XQLXMessage, CodeWithoutSystemTextGivesEmptyMessage)
{
    StartupLogCapture log;
    XQLX error(static_cast<HRESULT>(0x8FFF1234));
    EXPECT_TRUE(error.Message().IsEmpty());
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: \n", log.Text());
}

TEST(XQLXMessage, GivenTextUsesTheGenericCode)
{
    StartupLogCapture log;
    XQLX error(QLXString(L"Online Events: rule index out of range"));
    EXPECT_EQ(XQLX::GenericCode, error.Code());
    EXPECT_EQ(L"Online Events: rule index out of range", Text(error.Message()));
    EXPECT_STREQ("Online Events: rule index out of range", error.what());
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: Online Events: rule index out of range\n", log.Text());
}

TEST(XQLXMessage, WhatIsInTheThreadAnsiCodePage)
{
    StartupLogCapture log;
    const wchar_t* wide = L"Pr\u00fcfung fehlgeschlagen";
    char expected[64] = {};
    ASSERT_GT(WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, expected, sizeof expected, nullptr, nullptr), 0);
    XQLX error{QLXString(wide)};
    EXPECT_STREQ(expected, error.what());
    const std::exception& standard = error;
    EXPECT_STREQ(expected, standard.what());
}

TEST(XQLXMessage, WhatStaysValidWhileTheErrorLives)
{
    StartupLogCapture log;
    XQLX error{QLXString(L"kept text")};
    const char* first = error.what();
    {
        // Another holder of the message must not make the next what() move it.
        const QLXString held = error.Message();
        EXPECT_EQ(first, error.what());
        EXPECT_EQ(held.c_str(), error.Message().c_str());
    }
    EXPECT_EQ(first, error.what());
    EXPECT_STREQ("kept text", first);
}

TEST(XQLXStartupLog, CopiesOfAThrownErrorWriteNoSecondLine)
{
    StartupLogCapture log;
    try {
        try {
            throw XQLX(QLXString(L"first"));
        } catch (const XQLX& caught) {
            XQLX another(caught);
            another = caught;
            throw another;
        }
    } catch (const std::exception& error) {
        EXPECT_STREQ("first", error.what());
    }
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: first\n", log.Text());
}

TEST(XQLXStartupLog, EveryConstructionWritesItsOwnLine)
{
    StartupLogCapture log;
    XQLX first(QLXString(L"one"));
    XQLX second(static_cast<HRESULT>(0xA0048210));
    XQLX third(QLXString(L"three"));
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: one\nQLXBOOTLOG: XQLX: \nQLXBOOTLOG: XQLX: three\n", log.Text());
    EXPECT_GE(log.Flushes(), 3);
}

TEST(XQLXStartupLog, UnconvertibleMessageStillEndsItsLineAndFlushes)
{
    AsciiOnlyLog log;
    XQLX first{QLXString(L"caf\u00e9 \u2019quoted\u2019")};
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: caf\n", log.text);
    EXPECT_EQ(log.text.size(), log.flushedUpTo);
    XQLX second{QLXString(L"next")};
    EXPECT_EQ(L"QLXBOOTLOG: XQLX: caf\nQLXBOOTLOG: XQLX: next\n", log.text);
    EXPECT_EQ(log.text.size(), log.flushedUpTo);
}

TEST(XQLXStartupLog, CopySharesTheMessage)
{
    StartupLogCapture log;
    XQLX original(QLXString(L"shared text"));
    XQLX copy(original);
    EXPECT_EQ(original.Message().c_str(), copy.Message().c_str());
    EXPECT_EQ(original.Code(), copy.Code());
}

TEST(XHResultError, CarriesItsStatusWhenThrown)
{
    try {
        throw XHResult(E_ACCESSDENIED);
    } catch (const XHResult& error) {
        EXPECT_EQ(E_ACCESSDENIED, error.Code());
    }
}

TEST(MessageTextFinish, LineBreakGoesAndOneDotStaysButShortTextsAreLeftAlone)
{
    const struct {
        const wchar_t* text;
        const wchar_t* finished;
    } cases[] = {
        {L"Access denied.\r\n", L"Access denied."},
        {L"Access denied\r\n", L"Access denied."},
        {L"Done.", L"Done."},
        {L"", L""},
        {L"x", L"x"},
        {L"\r\n", L""},
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        QLX::FinishMessageText(text);
        EXPECT_EQ(c.finished, text) << testing::PrintToString(std::wstring(c.text));
    }
}
