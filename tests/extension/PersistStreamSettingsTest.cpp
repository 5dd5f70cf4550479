#include "DocTestSupport.h"

#include "support/ProbeStream.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace VireoTest;

namespace {

std::string Le32(uint32_t v)
{
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>(v >> (8 * i));
    return b;
}

std::string Utf16(const std::string& text)
{
    std::string b;
    for (char c : text) {
        b += c;
        b += '\0';
    }
    return b + std::string(2, '\0');
}

// The stream's mark, settings version 1 and the text block's tag; the text's length and its
// check follow.
const std::string Version1Head = std::string("\xAA\xAA\x15\x55", 4) + Le32(1) + Le32(0x80000001);

const std::string EmptyText = "Version = 1\nAnalogOutputCount = 0\nDigitalOutputCount = 0\n";

TEST(PersistStreamSettings, AnEmptyConfigurationIsSavedAs136Bytes)
{
    DocFixture f;
    DocfileStream file;
    ASSERT_EQ(f.doc->Persistence()->Save(file.stream, TRUE), S_OK);
    const std::string bytes = StreamBytes(file.stream);
    EXPECT_EQ(bytes.size(), 136u);
    EXPECT_EQ(bytes, Version1Head + Le32(58) + Le32(static_cast<uint32_t>(-58)) + Utf16(EmptyText));
}

TEST(PersistStreamSettings, ASavedConfigurationLoadsBackAndIsAppliedAtOnce)
{
    DocfileStream file;
    {
        DocFixture f;
        f.Apply(SettingsText(1, 1, {{1, true, {{2, false, 5, 100}}}, {-1, true, {{0, true, 10, 50}}}}));
        EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_OK);
        ASSERT_EQ(f.doc->Persistence()->Save(file.stream, TRUE), S_OK);
        EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_FALSE);
    }
    LARGE_INTEGER zero{};
    file.stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DocFixture g;
    g.doc->SetModified(true);
    ASSERT_EQ(g.doc->Persistence()->Load(file.stream), S_OK);
    EXPECT_EQ(g.doc->Persistence()->IsDirty(), S_FALSE);
    const std::vector<VireoHost::UnitCall> calls = g.TakeCalls();
    ASSERT_EQ(calls.size(), 10u);
    int32_t threshold = 0;
    std::memcpy(&threshold, calls[0].record.data() + 52, 4);
    EXPECT_EQ(threshold, 32766);
    EXPECT_EQ(calls[2].record[48 + 12], 1);
    std::string text;
    g.doc->Configuration().Serialize(text);
    EXPECT_NE(text.find("Level = 100"), std::string::npos);
}

TEST(PersistStreamSettings, SavingWithoutClearDirtyLeavesTheDocumentModified)
{
    DocFixture f;
    f.Apply(EmptyText);
    DocfileStream file;
    EXPECT_EQ(f.doc->Persistence()->Save(file.stream, FALSE), S_OK);
    EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_OK);
}

TEST(PersistStreamSettings, AStreamWithoutHeaderLoadsAsTheOldSingleByteLayout)
{
    const std::string text = "Version = 1\nAnalogOutputCount = 1\nDigitalOutputCount = 0\nBeginOnlineEvent\n"
                             "Version = 1\nOutput = 1\nOn = 1\nPulseDuration = 0.001\nPulseDelay = 0\n"
                             "RetriggerHoldoffTime = 0\nLimitedDuration = 0\nLimitedNumPulses = 0\n"
                             "RetriggerHoldoff = 0\nPulseNumLimit = 1\nAll = 0\nRuleCount = 0\nEndOnlineEvent\n";
    IStream* stream = MemoryStream(Le32(1) + Le32(static_cast<uint32_t>(text.size())) + text);
    DocFixture f;
    EXPECT_EQ(f.doc->Persistence()->Load(stream), S_OK);
    stream->Release();
    const std::vector<VireoHost::UnitCall> calls = f.TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].record[12], 2);
}

TEST(PersistStreamSettings, ACheckValueThatIsNotMinusNShowsTheLoadFailure)
{
    IStream* stream = MemoryStream(Version1Head + Le32(58) + Le32(static_cast<uint32_t>(-57)) + Utf16(EmptyText));
    DocFixture f;
    f.doc->SetModified(true);
    EXPECT_EQ(f.doc->Persistence()->Load(stream), E_FAIL);
    stream->Release();
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: Failed to load Vireo setup.");
    EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_OK);
    EXPECT_TRUE(f.TakeCalls().empty());
}

TEST(PersistStreamSettings, ACountLargerThanTheStreamIsALoadFailureToo)
{
    IStream* stream = MemoryStream(Version1Head + Le32(0x40000000) + Le32(0xC0000000) + Utf16("Ver"));
    DocFixture f;
    EXPECT_EQ(f.doc->Persistence()->Load(stream), E_FAIL);
    stream->Release();
    EXPECT_EQ(f.boxes.size(), 1u);
}

TEST(PersistStreamSettings, AnotherSettingsVersionOrAShortStreamFailsQuietly)
{
    for (const std::string& bytes : {std::string("\xAA\xAA\x15\x55", 4) + Le32(2) + Le32(0x80000001),
                                     std::string("\xAA\xAA\x15\x55\x01", 5), std::string()}) {
        IStream* stream = MemoryStream(bytes);
        DocFixture f;
        EXPECT_EQ(f.doc->Persistence()->Load(stream), E_FAIL);
        stream->Release();
        EXPECT_TRUE(f.boxes.empty());
    }
}

TEST(PersistStreamSettings, ASaveThatCannotReachTheStorageFailsAndKeepsTheDocumentModified)
{
    DocFixture f;
    f.Apply(EmptyText);
    ProbeStream* shortWrites = new ProbeStream;
    shortWrites->writeLimit = 40;
    EXPECT_EQ(f.doc->Persistence()->Save(shortWrites, TRUE), STG_E_WRITEFAULT);
    shortWrites->Release();
    ProbeStream* noStat = new ProbeStream;
    noStat->failStat = true;
    EXPECT_EQ(f.doc->Persistence()->Save(noStat, TRUE), E_FAIL);
    EXPECT_TRUE(noStat->Bytes().empty());
    noStat->Release();
    EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_OK);
}

TEST(PersistStreamSettings, ATextThatCannotBeReadIsALoadFailureThatChangesNothing)
{
    DocFixture f;
    f.Apply(SettingsText(1, 0, {{1, true, {{0, true, 5, 10}}}}));
    f.doc->SetModified(false);
    f.TakeCalls();
    std::string before;
    f.doc->Configuration().Serialize(before);
    std::string broken = SettingsText(2, 0, {{1, false, {}}, {2, true, {}}});
    broken.resize(broken.find("EndOnlineEvent"));
    const uint32_t units = static_cast<uint32_t>(broken.size() + 1);
    IStream* stream = MemoryStream(Version1Head + Le32(units) + Le32(0u - units) + Utf16(broken));
    EXPECT_EQ(f.doc->Persistence()->Load(stream), E_FAIL);
    stream->Release();
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0], L"MessageBox: Vireo: Failed to load Vireo setup.");
    EXPECT_EQ(f.doc->Persistence()->IsDirty(), S_FALSE);
    EXPECT_TRUE(f.TakeCalls().empty());
    std::string after;
    f.doc->Configuration().Serialize(after);
    EXPECT_EQ(before, after);
}

TEST(PersistStreamSettings, ASaveToAMemoryStreamLoadsBackTheSameConfiguration)
{
    IStream* stream = MemoryStream();
    std::string saved;
    {
        DocFixture f;
        f.Apply(SettingsText(1, 1, {{1, true, {{2, false, 5, 40}}}, {-1, true, {}}}));
        ASSERT_EQ(f.doc->Persistence()->Save(stream, TRUE), S_OK);
        f.doc->Configuration().Serialize(saved);
    }
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DocFixture g;
    EXPECT_EQ(g.doc->Persistence()->Load(stream), S_OK);
    stream->Release();
    std::string loaded;
    g.doc->Configuration().Serialize(loaded);
    EXPECT_EQ(saved, loaded);
}

TEST(PersistStreamSettings, AnswersAsAnIPersistStreamOnly)
{
    DocFixture f;
    IPersistStream* persistence = f.doc->Persistence();
    void* object = nullptr;
    EXPECT_EQ(persistence->QueryInterface(IID_IPersist, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(persistence->QueryInterface(IID_IPersistStream, &object), S_OK);
    EXPECT_EQ(object, static_cast<void*>(persistence));
    EXPECT_EQ(persistence->AddRef(), 1u);
    EXPECT_EQ(persistence->Release(), 1u);
    ULARGE_INTEGER size;
    size.QuadPart = 5;
    EXPECT_EQ(persistence->GetSizeMax(&size), E_NOTIMPL);
    CLSID classId{};
    EXPECT_EQ(persistence->GetClassID(&classId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(classId, CLSID_OnlineEventsDocument));
    EXPECT_EQ(persistence->Load(nullptr), E_POINTER);
}

} // namespace
