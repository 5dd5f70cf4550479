#include "eventconfig/StorageStreamBuf.h"

#include "support/LeakCheck.h"
#include "support/ProbeStream.h"

#include <gtest/gtest.h>

#include <string>

using VireoTest::ProbeStream;

namespace {

const bool registered = (VireoTest::RegisterLiveCounter("probe streams", &ProbeStream::Live), true);

std::string Pattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

using VireoTest::DocfileStream;

TEST(StorageStreamBuf, WritesAndReadsManyBuffersOfADocfileStream)
{
    DocfileStream file;
    ASSERT_NE(file.stream, nullptr);
    const std::string data = Pattern(3000);
    {
        StorageOutStreamBuf out;
        ASSERT_TRUE(out.AttachStorage(file.stream));
        EXPECT_EQ(out.sputn(data.data(), 3000), 3000);
        EXPECT_TRUE(out.Detach());
    }
    LARGE_INTEGER zero{};
    file.stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    StorageInStreamBuf in;
    ASSERT_TRUE(in.AttachStorage(file.stream));
    std::string back(3000, '\0');
    EXPECT_EQ(in.sgetn(&back[0], 3000), 3000);
    EXPECT_EQ(back, data);
    EXPECT_EQ(in.sgetc(), std::char_traits<char>::eof());
}

TEST(StorageStreamBuf, AttachTakesOneReferenceAndStartsAtTheStreamPosition)
{
    ProbeStream* probe = new ProbeStream("0123456789");
    LARGE_INTEGER three;
    three.QuadPart = 3;
    probe->Seek(three, STREAM_SEEK_SET, nullptr);
    {
        StorageInStreamBuf in;
        EXPECT_FALSE(in.AttachStorage(nullptr));
        ASSERT_TRUE(in.AttachStorage(probe));
        EXPECT_EQ(probe->References(), 2);
        EXPECT_FALSE(in.AttachStorage(probe));
        EXPECT_EQ(in.sbumpc(), '3');
        EXPECT_EQ(in.pubseekoff(0, std::ios_base::cur, std::ios_base::in), std::streampos(4));
    }
    EXPECT_EQ(probe->References(), 1);
    probe->Release();
}

TEST(StorageStreamBuf, RefusesAStreamWhoseStatFails)
{
    ProbeStream* probe = new ProbeStream;
    probe->failStat = true;
    StorageOutStreamBuf out;
    EXPECT_FALSE(out.AttachStorage(probe));
    EXPECT_FALSE(out.IsAttached());
    EXPECT_EQ(probe->References(), 1);
    probe->Release();
}

TEST(StorageStreamBuf, InputFollowsTheStreamModeAndOutputWritesWhateverItSays)
{
    ProbeStream* probe = new ProbeStream("abc");
    probe->mode = STGM_READ;
    {
        StorageInStreamBuf readOnly;
        ASSERT_TRUE(readOnly.AttachStorage(probe));
        EXPECT_EQ(readOnly.sputc('x'), std::char_traits<char>::eof());
        EXPECT_EQ(readOnly.sgetc(), 'a');
    }
    {
        // Many streams report mode 0 (read) even when they take writes.
        StorageOutStreamBuf reportsRead;
        ASSERT_TRUE(reportsRead.AttachStorage(probe));
        EXPECT_EQ(reportsRead.sputc('y'), 'y');
    }
    EXPECT_EQ(probe->Bytes(), "ybc");
    probe->mode = STGM_WRITE;
    {
        // Attached where the last buffer left the stream, after the "y".
        StorageInStreamBuf writeOnly;
        ASSERT_TRUE(writeOnly.AttachStorage(probe));
        EXPECT_EQ(writeOnly.sgetc(), std::char_traits<char>::eof());
        EXPECT_EQ(writeOnly.sputc('x'), 'x');
    }
    EXPECT_EQ(probe->Bytes(), "yxc");
    probe->Release();
}

TEST(StorageStreamBuf, SeekBackInsideThePutAreaKeepsTheLaterBytes)
{
    ProbeStream* probe = new ProbeStream;
    {
        StorageOutStreamBuf out;
        ASSERT_TRUE(out.AttachStorage(probe));
        out.sputn("0123456789", 10);
        const int seeksBefore = probe->seeks;
        EXPECT_EQ(out.pubseekpos(2, std::ios_base::out), std::streampos(2));
        EXPECT_EQ(probe->seeks, seeksBefore);
        out.sputc('X');
        EXPECT_EQ(out.pubseekoff(0, std::ios_base::cur, std::ios_base::out), std::streampos(3));
        EXPECT_TRUE(out.Detach());
    }
    EXPECT_EQ(probe->Bytes(), "01X3456789");
    EXPECT_EQ(probe->Position(), 3u);
    probe->Release();
}

TEST(StorageStreamBuf, SeekInsideTheReadBufferAsksTheStreamNothing)
{
    ProbeStream* probe = new ProbeStream(Pattern(100));
    StorageInStreamBuf in;
    ASSERT_TRUE(in.AttachStorage(probe));
    char four[4];
    in.sgetn(four, 4);
    const int seeks = probe->seeks;
    const int reads = probe->reads;
    EXPECT_EQ(in.pubseekoff(-4, std::ios_base::cur, std::ios_base::in), std::streampos(0));
    EXPECT_EQ(in.sbumpc(), 'a');
    EXPECT_EQ(in.pubseekpos(50, std::ios_base::in), std::streampos(50));
    EXPECT_EQ(in.sbumpc(), 'a' + 50 % 26);
    EXPECT_EQ(probe->seeks, seeks);
    EXPECT_EQ(probe->reads, reads);
    // The end is never in the buffer: the stream is asked.
    EXPECT_EQ(in.pubseekoff(0, std::ios_base::end, std::ios_base::in), std::streampos(100));
    EXPECT_GT(probe->seeks, seeks);
    in.Detach();
    probe->Release();
}

TEST(StorageStreamBuf, BytesReadBeforeARefillCanBePutBack)
{
    ProbeStream* probe = new ProbeStream(Pattern(2048));
    StorageInStreamBuf in;
    ASSERT_TRUE(in.AttachStorage(probe));
    std::string first(1024, '\0');
    in.sgetn(&first[0], 1024);
    EXPECT_EQ(in.sbumpc(), 'a' + 1024 % 26);
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(in.sungetc(), std::char_traits<char>::eof()) << i;
    EXPECT_EQ(in.sbumpc(), 'a' + 1020 % 26);
    in.Detach();
    probe->Release();
}

TEST(StorageStreamBuf, SyncGivesUnreadBytesBackToTheStream)
{
    ProbeStream* probe = new ProbeStream(Pattern(10));
    {
        StorageInStreamBuf in;
        ASSERT_TRUE(in.AttachStorage(probe));
        in.sbumpc();
        in.sbumpc();
        EXPECT_EQ(in.pubsync(), 0);
        EXPECT_EQ(probe->Position(), 2u);
    }
    EXPECT_EQ(probe->Position(), 2u);
    probe->Release();
}

TEST(StorageStreamBuf, AShortWriteFailsTheFlush)
{
    ProbeStream* probe = new ProbeStream;
    probe->writeLimit = 5;
    StorageOutStreamBuf out;
    ASSERT_TRUE(out.AttachStorage(probe));
    EXPECT_EQ(out.sputn("0123456789", 10), 10);
    EXPECT_EQ(out.pubsync(), -1);
    EXPECT_TRUE(out.Detach());
    EXPECT_EQ(probe->Bytes(), "01234");
    probe->Release();
}

TEST(StorageStreamBuf, AWriteOfMoreThanTheBufferReachesTheStreamInOrder)
{
    DocfileStream file;
    IStream* stream = file.stream;
    ASSERT_NE(stream, nullptr);
    const std::string data = Pattern(2500);
    {
        StorageOutStreamBuf out;
        ASSERT_TRUE(out.AttachStorage(stream));
        out.sputn(data.data(), 1000);
        out.sputn(data.data() + 1000, 1500);
    }
    EXPECT_EQ(VireoTest::StreamBytes(stream), data);
}

TEST(StorageStreamBuf, AMemoryStreamReportsReadModeYetTheOutputBufferWritesIt)
{
    IStream* stream = VireoTest::MemoryStream("abc");
    {
        StorageOutStreamBuf out;
        ASSERT_TRUE(out.AttachStorage(stream));
        EXPECT_TRUE(out.CanRead());
        EXPECT_TRUE(out.CanWrite());
        EXPECT_EQ(out.sputc('x'), 'x');
    }
    EXPECT_EQ(VireoTest::StreamBytes(stream), "xbc");
    stream->Release();
}

} // namespace
