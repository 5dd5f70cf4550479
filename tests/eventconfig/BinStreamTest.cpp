#include "eventconfig/StorageBinStreamLite.h"

#include "foundation/ModuleInstance.h"
#include "foundation/ProductWords.h"
#include "foundation/XQLX.h"
#include "support/ProbeStream.h"

#include <gtest/gtest.h>

#include <string>

using VireoTest::DocfileStream;
using VireoTest::Hex;
using VireoTest::MemoryStream;
using VireoTest::ProbeStream;
using VireoTest::StreamBytes;

namespace {

// Corrupt-stream errors load their text with product words; the table lives for the process.
const bool tableBuilt = (ProductWordTable::Instance(QLX::GetModuleInstance()), true);

std::string Le32(uint32_t v)
{
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>(v >> (8 * i));
    return b;
}

std::string Utf16(const std::string& ascii, bool terminate = true)
{
    std::string b;
    for (char c : ascii) {
        b += c;
        b += '\0';
    }
    if (terminate)
        b += std::string(2, '\0');
    return b;
}

const std::string Header = std::string("\xAA\xAA\x15\x55", 4);

QLXString ReadTextOf(const std::string& bytes, int* version = nullptr)
{
    IStream* stream = MemoryStream(bytes);
    StorageBinIStreamLite in(stream);
    stream->Release();
    if (version)
        *version = in.Version();
    return in.ReadText();
}

TEST(BinOStream, WritesTheHeaderAndLittleEndianValues)
{
    DocfileStream file;
    IStream* stream = file.stream;
    {
        StorageBinOStreamLite out(stream);
        EXPECT_EQ(out.WriteByte(0x12), S_OK);
        EXPECT_EQ(out.WriteInt16(-2), S_OK);
        EXPECT_EQ(out.WriteInt32(0x01020304), S_OK);
        EXPECT_EQ(out.WriteInt64(-1), S_OK);
        EXPECT_EQ(out.WriteFloat(1.0f), S_OK);
        EXPECT_EQ(out.WriteDouble(2.0), S_OK);
        EXPECT_EQ(out.WriteBytes("xy", 2), S_OK);
    }
    EXPECT_EQ(Hex(StreamBytes(stream)), "aaaa1555"
                                        "12"
                                        "feff"
                                        "04030201"
                                        "ffffffffffffffff"
                                        "0000803f"
                                        "0000000000000040"
                                        "7879");
}

TEST(BinOStream, WritesAStringAsMarkerCountCheckAndTerminatedUtf16)
{
    DocfileStream file;
    IStream* stream = file.stream;
    {
        StorageBinOStreamLite out(stream);
        QLXString text(L"Ab");
        EXPECT_EQ(out.WriteString(text.Rep()), S_OK);
        EXPECT_EQ(out.WriteText(QLXString()), S_OK);
    }
    EXPECT_EQ(StreamBytes(stream), Header + Le32(0x80000001) + Le32(3) + Le32(static_cast<uint32_t>(-3)) + Utf16("Ab") +
                                       Le32(0x80000001) + Le32(1) + Le32(0xFFFFFFFF) + std::string(2, '\0'));
}

TEST(BinOStream, IsInertAsACOMObject)
{
    StorageBinOStreamLite out(nullptr);
    void* object = &out;
    EXPECT_EQ(out.QueryInterface(IID_IUnknown, &object), E_NOTIMPL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(out.AddRef(), 1u);
    EXPECT_EQ(out.Release(), 1u);
    EXPECT_EQ(out.Unused1(), E_NOTIMPL);
    EXPECT_EQ(out.Unused7(), E_NOTIMPL);
}

TEST(BinOStream, WithoutStorageEveryOperationFails)
{
    StorageBinOStreamLite out(nullptr);
    EXPECT_EQ(out.Status(), QLX::BinStream::StatusNoStorage);
    EXPECT_EQ(out.GetStatus(), E_FAIL);
    EXPECT_EQ(out.WriteInt32(1), E_FAIL);
    LONG position = 7;
    EXPECT_EQ(out.GetPosition(&position), E_FAIL);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(out.Flush(), static_cast<IBinOutStream*>(&out));
}

TEST(BinOStream, AFlushThatFallsShortSetsNoStorage)
{
    ProbeStream* probe = new ProbeStream;
    probe->writeLimit = 6;
    {
        StorageBinOStreamLite out(probe);
        EXPECT_EQ(out.WriteInt32(7), S_OK);
        out.Flush();
        EXPECT_EQ(out.Status(), QLX::BinStream::StatusNoStorage);
        EXPECT_EQ(out.WriteInt32(8), E_FAIL);
    }
    EXPECT_EQ(probe->Bytes().size(), 6u);
    probe->Release();
}

TEST(BinOStream, PositionsAreAbsoluteAndSeekable)
{
    DocfileStream file;
    IStream* stream = file.stream;
    {
        StorageBinOStreamLite out(stream);
        LONG position = -1;
        EXPECT_EQ(out.GetPosition(&position), S_OK);
        EXPECT_EQ(position, 4);
        out.WriteInt32(0);
        EXPECT_EQ(out.SetPosition(4), S_OK);
        out.WriteInt16(0x4142);
        EXPECT_EQ(out.GetPosition(&position), S_OK);
        EXPECT_EQ(position, 6);
        EXPECT_EQ(out.GetPosition(nullptr), E_POINTER);
    }
    EXPECT_EQ(Hex(StreamBytes(stream)), "aaaa155542410000");
}

TEST(BinIStream, ReadsBackWhatTheWriterWrote)
{
    DocfileStream file;
    IStream* stream = file.stream;
    {
        StorageBinOStreamLite out(stream);
        out.WriteByte(200);
        out.WriteInt16(-300);
        out.WriteInt32(-70000);
        out.WriteInt64(1LL << 40);
        out.WriteDouble(-0.25);
        out.WriteText(QLXString(L"settings"));
    }
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    StorageBinIStreamLite in(stream);
    LONG version = 0;
    EXPECT_EQ(in.GetVersion(&version), S_OK);
    EXPECT_EQ(version, 0x15);
    BYTE b = 0;
    SHORT s = 0;
    int i = 0;
    LONGLONG ll = 0;
    double d = 0;
    IQLXString* text = nullptr;
    EXPECT_EQ(in.ReadByte(&b), S_OK);
    EXPECT_EQ(in.ReadInt16Alt(&s), S_OK);
    EXPECT_EQ(in.ReadInt32(&i), S_OK);
    EXPECT_EQ(in.ReadInt64(&ll), S_OK);
    EXPECT_EQ(in.ReadDoubleAlt(&d), S_OK);
    EXPECT_EQ(in.ReadString(&text), S_OK);
    EXPECT_EQ(b, 200);
    EXPECT_EQ(s, -300);
    EXPECT_EQ(i, -70000);
    EXPECT_EQ(ll, 1LL << 40);
    EXPECT_EQ(d, -0.25);
    const QLXString read = QLXString::Attach(text);
    EXPECT_TRUE(read == L"settings");
    EXPECT_EQ(read.RepLength(), 9u);
}

TEST(BinIStream, AStreamWithoutHeaderIsFormatVersionOneReadFromItsStart)
{
    int version = 0;
    const QLXString text = ReadTextOf(Le32(5) + "Hello", &version);
    EXPECT_EQ(version, 1);
    EXPECT_TRUE(text == L"Hello");
}

TEST(BinIStream, OldFormatVersionsUseTheSingleByteLayout)
{
    const std::string header("\xAA\xAA\x09\x55", 4);
    int version = 0;
    EXPECT_TRUE(ReadTextOf(header + Le32(3) + "abc", &version) == L"abc");
    EXPECT_EQ(version, 9);
    EXPECT_THROW(ReadTextOf(header + Le32(64001) + "abc"), XQLX);
    EXPECT_THROW(ReadTextOf(header + Le32(0xFFFFFFFF) + "abc"), XQLX);
}

TEST(BinIStream, ANonNegativeMarkerMeansSingleByteCharacters)
{
    EXPECT_TRUE(ReadTextOf(Header + Le32(0) + Le32(2) + Le32(static_cast<uint32_t>(-2)) + "ok") == L"ok");
}

TEST(BinIStream, AStringWithoutItsZeroUnitGetsOne)
{
    const QLXString text =
        ReadTextOf(Header + Le32(0x80000001) + Le32(2) + Le32(static_cast<uint32_t>(-2)) + Utf16("hi", false));
    EXPECT_TRUE(text == L"hi");
    EXPECT_EQ(text.RepLength(), 3u);
}

TEST(BinIStream, ACountTheCheckValueContradictsIsCorrupt)
{
    const std::string bad = Header + Le32(0x80000001) + Le32(3) + Le32(static_cast<uint32_t>(-2)) + Utf16("Ab");
    EXPECT_THROW(ReadTextOf(bad), XQLX);
    IStream* stream = MemoryStream(bad);
    StorageBinIStreamLite in(stream);
    stream->Release();
    IQLXString* text = reinterpret_cast<IQLXString*>(1);
    EXPECT_EQ(in.ReadString(&text), QLX::BinStream::CorruptStream);
    EXPECT_EQ(text, nullptr);
}

TEST(BinIStream, ACountTheStreamCannotHoldIsCorruptAndAllocatesNothing)
{
    const uint32_t huge = 0x7FFFFFF0;
    EXPECT_THROW(
        ReadTextOf(Header + Le32(0x80000001) + Le32(huge) + Le32(static_cast<uint32_t>(-int32_t(huge))) + Utf16("Ab")),
        XQLX);
    EXPECT_THROW(ReadTextOf(Header + Le32(0x80000001) + Le32(4) + Le32(static_cast<uint32_t>(-4)) + Utf16("Ab")), XQLX);
    // The one value whose negation does not exist cannot pass the check.
    EXPECT_THROW(ReadTextOf(Header + Le32(0x80000001) + Le32(0x80000000) + Le32(0x80000000)), XQLX);
}

TEST(BinIStream, AMissingCountReadsAsAnEmptyString)
{
    IStream* stream = MemoryStream(Header + Le32(0x80000001));
    StorageBinIStreamLite in(stream);
    stream->Release();
    EXPECT_TRUE(in.ReadText().IsEmpty());
    EXPECT_EQ(in.Status(), QLX::BinStream::StatusShort);
}

TEST(BinIStream, AfterTheEndEveryReadGivesZeroAndFails)
{
    IStream* stream = MemoryStream(Header + "\x01\x02");
    StorageBinIStreamLite in(stream);
    stream->Release();
    LONG value = 99;
    EXPECT_EQ(in.ReadInt32(&value), E_FAIL);
    EXPECT_EQ(value, 0);
    BYTE b = 9;
    EXPECT_EQ(in.ReadByte(&b), E_FAIL);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(in.GetStatus(), E_FAIL);
}

TEST(BinIStream, AStreamShorterThanTheHeaderFailsAtOnce)
{
    IStream* stream = MemoryStream("\xAA\xAA");
    StorageBinIStreamLite in(stream);
    stream->Release();
    EXPECT_EQ(in.Status(), QLX::BinStream::StatusShort);
    EXPECT_EQ(in.Version(), 1);
}

TEST(BinIStream, ReadsADocfileStreamAcrossItsBufferRefills)
{
    IStorage* storage = nullptr;
    ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                               &storage),
              S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->CreateStream(L"S", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), S_OK);
    std::wstring longText(1500, L'q');
    longText[1499] = L'z';
    {
        StorageBinOStreamLite out(stream);
        out.WriteText(QLXString(longText.c_str()));
    }
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    {
        StorageBinIStreamLite in(stream);
        const QLXString text = in.ReadText();
        EXPECT_EQ(text.Length(), 1500u);
        EXPECT_EQ(text.c_str()[1499], L'z');
        EXPECT_EQ(in.Status(), 0);
    }
    stream->Release();
    storage->Release();
}

} // namespace
