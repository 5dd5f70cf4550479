// The string stream buffer: writing into the string's own storage, growth by doubling,
// taking the text and writing on after a take.

#include "foundation/StringStreams.h"

#include <gtest/gtest.h>

#include <string>

using QLX::OStringStream;
using QLX::StringStreamBuf;

TEST(OStringStream, TakeGivesTheTextWithItsTerminator)
{
    OStringStream out;
    out << L"abc";
    QLXString text = out.TakeString();
    EXPECT_STREQ(L"abc", text.c_str());
    EXPECT_EQ(4u, text.RepLength());
    ULONG length = 0;
    EXPECT_EQ(S_OK, text.Rep()->GetLength(&length));
    EXPECT_EQ(3u, length);
}

TEST(OStringStream, NothingWrittenGivesTheEmptyString)
{
    OStringStream out;
    EXPECT_EQ(QLXString().Rep(), out.TakeString().Rep());
}

TEST(OStringStream, FormatsNumbersAndStrings)
{
    OStringStream out;
    out << 42 << L' ' << 2.5 << L' ' << QLXString(L"q") << " narrow";
    EXPECT_STREQ(L"42 2.5 q narrow", out.TakeString().c_str());
}

TEST(OStringStream, WritesIntoTheStorageWithoutCopying)
{
    OStringStream out;
    out << L"direct";
    const wchar_t* written = out.Buffer().WrittenText();
    QLXString text = out.TakeString();
    EXPECT_EQ(written, text.c_str());
}

TEST(OStringStream, GrowsByDoublingTheWrittenCharacters)
{
    OStringStream out;
    out << L"0123456789"; // fills the 9 characters of the first storage, then doubles
    QLXString text = out.TakeString();
    EXPECT_STREQ(L"0123456789", text.c_str());
    EXPECT_EQ(18u, text.Capacity());
    EXPECT_EQ(11u, text.RepLength());
}

TEST(OStringStream, TakeGrowsWhenTheTerminatorHasNoRoom)
{
    OStringStream out;
    out << L"012345678";
    EXPECT_EQ(9u, out.Buffer().WrittenCount());
    QLXString text = out.TakeString();
    EXPECT_STREQ(L"012345678", text.c_str());
    EXPECT_EQ(18u, text.Capacity());
    EXPECT_EQ(10u, text.RepLength());
}

TEST(OStringStream, LongTextsSurviveManyGrowths)
{
    OStringStream out;
    std::wstring expected;
    for (int i = 0; i < 1000; ++i) {
        out << i << L',';
        expected += std::to_wstring(i) + L',';
    }
    EXPECT_EQ(expected, std::wstring(out.TakeString().c_str()));
}

TEST(OStringStream, WritingAfterATakeLeavesTheTakenTextAlone)
{
    OStringStream out;
    out << L"abc";
    QLXString first = out.TakeString();
    out << L"def";
    QLXString second = out.TakeString();
    EXPECT_STREQ(L"abc", first.c_str());
    EXPECT_EQ(4u, first.RepLength());
    EXPECT_STREQ(L"abcdef", second.c_str());
    EXPECT_NE(first.Rep(), second.Rep());
}

TEST(OStringStream, ResumingWithLittleRoomDoublesTheCapacity)
{
    OStringStream out;
    out << L"abcdef";
    QLXString first = out.TakeString();
    ASSERT_EQ(9u, first.Capacity());
    first = QLXString();
    out << L"g";
    EXPECT_EQ(18u, out.TakeString().Capacity());
}

TEST(OStringStream, TellReportsTheCharactersWritten)
{
    OStringStream out;
    EXPECT_EQ(0, std::streamoff(out.tellp()));
    out << L"abcd";
    EXPECT_EQ(4, std::streamoff(out.tellp()));
    out.TakeString();
    EXPECT_EQ(4, std::streamoff(out.tellp()));
}

TEST(StringStreamBuf, WritesAfterAnInitialTextWithoutChangingIt)
{
    QLXString initial(L"start");
    StringStreamBuf buf(initial);
    buf.sputn(L"ed", 2);
    EXPECT_STREQ(L"started", buf.TakeString().c_str());
    EXPECT_STREQ(L"start", initial.c_str());
}

TEST(StringStreamBuf, WithoutTheOutputBitWritingFails)
{
    StringStreamBuf buf(QLXString(L"read"), StringStreamBuf::In);
    EXPECT_EQ(std::char_traits<wchar_t>::eof(), buf.sputc(L'x'));
    EXPECT_EQ(L'r', buf.sgetc());
    EXPECT_STREQ(L"read", buf.TakeString().c_str());
}

TEST(StringStreamBuf, SeeksStayInsideTheStorage)
{
    StringStreamBuf buf;
    buf.sputn(L"abc", 3);
    EXPECT_EQ(-1, std::streamoff(buf.pubseekoff(-1, std::ios_base::beg, std::ios_base::out)));
    EXPECT_EQ(-1, std::streamoff(buf.pubseekoff(10, std::ios_base::beg, std::ios_base::out)));
    EXPECT_EQ(9, std::streamoff(buf.pubseekoff(9, std::ios_base::beg, std::ios_base::out)));
    EXPECT_EQ(1, std::streamoff(buf.pubseekpos(1, std::ios_base::out)));
    buf.sputc(L'X');
    EXPECT_STREQ(L"aX", buf.TakeString().c_str());
}

TEST(StringStreamBuf, ReadsWhatWasWritten)
{
    StringStreamBuf buf;
    buf.sputn(L"xy", 2);
    EXPECT_EQ(L'x', buf.sbumpc());
    EXPECT_EQ(L'y', buf.sbumpc());
    EXPECT_EQ(std::char_traits<wchar_t>::eof(), buf.sgetc());
    EXPECT_EQ(-1, std::streamoff(buf.pubseekoff(3, std::ios_base::beg, std::ios_base::in)));
    EXPECT_EQ(0, std::streamoff(buf.pubseekoff(0, std::ios_base::beg, std::ios_base::in)));
    EXPECT_EQ(L'x', buf.sgetc());
}

TEST(StringStreamBuf, ReadPositionSurvivesGrowth)
{
    StringStreamBuf buf;
    buf.sputn(L"abcdefgh", 8);
    EXPECT_EQ(L'a', buf.sbumpc());
    EXPECT_EQ(L'b', buf.sbumpc());
    buf.sputn(L"ijklmnopqrstuvwxyz", 18);
    std::wstring rest;
    for (auto c = buf.sbumpc(); c != std::char_traits<wchar_t>::eof(); c = buf.sbumpc())
        rest += wchar_t(c);
    EXPECT_EQ(L"cdefghijklmnopqrstuvwxyz", rest);
}
