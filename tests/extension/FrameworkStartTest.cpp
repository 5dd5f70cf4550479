// Starting the framework in a fresh process: from the executable's folder, or the
// load failure box and exit code -1 when the library cannot serve.

#include "extension/FrameworkServices.h"

#include "support/ChildProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using VireoTest::ExecutableFolder;
using VireoTest::RunChild;
using VireoTest::ScratchFolder;

namespace {

std::wstring Probe()
{
    return ExecutableFolder() + L"FrameworkProbe.exe";
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

void ExpectLoadFailureBox(const VireoTest::ChildResult& child, const std::wstring& library)
{
    ASSERT_TRUE(child.started);
    ASSERT_TRUE(child.box.found) << child.output;
    EXPECT_EQ(L"Varn load failed", child.box.caption);
    EXPECT_EQ(L"Varn failed to load " + library, child.box.text);
    EXPECT_EQ(std::vector<int>{IDOK}, child.box.buttons);
    EXPECT_FALSE(child.box.icon);
    EXPECT_TRUE(child.finished);
    EXPECT_EQ(static_cast<DWORD>(-1), child.exitCode);
}

} // namespace

TEST(FrameworkStart, MissingLibraryShowsTheLoadFailureAndEndsWithMinusOne)
{
    ScratchFolder folder;
    // Any name and extension: only the executable's folder counts.
    const std::wstring program = folder.Copy(Probe(), L"Probe Host.bin");
    ExpectLoadFailureBox(RunChild(program, L"lookup", true), folder.Path() + L"Kxf.dll");
}

TEST(FrameworkStart, LibraryWithoutClassObjectEntryShowsTheLoadFailure)
{
    ScratchFolder folder;
    const std::wstring program = folder.Copy(Probe(), L"probe.exe");
    // The module itself is a library without "DllGetClassObject".
    folder.Copy(ExecutableFolder() + L"Vireo.dll", L"Kxf.dll");
    ExpectLoadFailureBox(RunChild(program, L"lookup", true), folder.Path() + L"Kxf.dll");
}

TEST(FrameworkStart, FreshProcessStartsTheFrameworkBesideItsExecutable)
{
    auto child = RunChild(Probe(), L"lookup");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("groups stable distinct"));
    EXPECT_THAT(child.output, HasSubstr("cached yes"));
    EXPECT_THAT(child.output, HasSubstr("library " + Narrow(ExecutableFolder()) + "Kxf.dll"));
}

TEST(FrameworkStart, LibraryIsTakenFromTheExecutablesOwnFolder)
{
    ScratchFolder folder;
    const std::wstring program = folder.Copy(Probe(), L"elsewhere.exe");
    folder.Copy(ExecutableFolder() + L"Kxf.dll", L"Kxf.dll");
    auto child = RunChild(program, L"lookup");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("library " + Narrow(folder.Path()) + "Kxf.dll"));
}

TEST(FrameworkStart, RegisteredFrameworkNeedsNeitherOleNorTheLibrary)
{
    auto child = RunChild(Probe(), L"registered");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("found yes"));
}

TEST(FrameworkStart, OleThatCannotStartThrowsXQLXWithItsResult)
{
    auto child = RunChild(Probe(), L"mta");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(3u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("XQLX 80010106"));
    EXPECT_THAT(child.output, HasSubstr("QLXBOOTLOG: XQLX: "));
}

TEST(FrameworkStart, RefusedClassObjectThrowsXHResultWithTheRefusal)
{
    ScratchFolder folder;
    const std::wstring program = folder.Copy(Probe(), L"probe.exe");
    folder.Copy(ExecutableFolder() + L"RefusingFramework.dll", L"Kxf.dll");
    auto child = RunChild(program, L"lookup", false);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(3u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("XHResult 80040111"));
}

TEST(FrameworkStart, ProcessEndKeepsWhatTheModuleHoldsAndAnOrdinaryUnloadLetsGoOfIt)
{
    auto child = RunChild(Probe(), L"detach");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("process end keeps framework preview theme store\r\n"));
    EXPECT_THAT(child.output, HasSubstr("unload keeps nothing\r\n"));
}

TEST(DocumentClassBinding, NotificationsAndMessagesReachTheClassBinding)
{
    auto child = RunChild(Probe(), L"classbinding");
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0u, child.exitCode) << child.output;
    EXPECT_THAT(child.output, HasSubstr("binding notifications 1 messages 1 handled 1"));
}
