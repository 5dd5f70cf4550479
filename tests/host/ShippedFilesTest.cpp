// What a Windows engineer reads off the shipped files: version resources and exports.

#include "support/ChildProcess.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// One string of the version resource, through the first translation it lists.
std::wstring VersionString(const std::vector<BYTE>& info, const std::wstring& name)
{
    WORD* language = nullptr;
    wchar_t* text = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language), &size))
        return L"(no translation)";
    wchar_t path[64];
    swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\", language[0], language[1]);
    if (!VerQueryValueW(info.data(), (path + name).c_str(), reinterpret_cast<void**>(&text), &size))
        return L"(missing)";
    return text;
}

std::wstring NumberText(DWORD high, DWORD low)
{
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
    return text;
}

} // namespace

TEST(ShippedFiles, CarryTheProjectVersionResource)
{
    const std::wstring version = L"" VIREO_VERSION;
    const struct {
        const wchar_t* name;
        DWORD type;
    } files[] = {{L"Vireo.dll", VFT_DLL}, {L"VireoHost.exe", VFT_APP}, {L"Kxf.dll", VFT_DLL}};
    for (const auto& file : files) {
        SCOPED_TRACE(testing::Message() << file.name);
        const std::wstring path = VireoTest::ExecutableFolder() + file.name;
        DWORD ignored = 0;
        std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        EXPECT_EQ(version + L".0", NumberText(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
        EXPECT_EQ(version + L".0", NumberText(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
        EXPECT_EQ(file.type, fixed->dwFileType);

        EXPECT_EQ(L"Vireo", VersionString(info, L"ProductName"));
        EXPECT_EQ(version, VersionString(info, L"FileVersion"));
        EXPECT_EQ(file.name, VersionString(info, L"OriginalFilename"));
        EXPECT_THAT(VersionString(info, L"FileDescription"), testing::StartsWith(L"Vireo "));
        EXPECT_THAT(VersionString(info, L"LegalCopyright"), testing::StartsWith(L"Copyright "));
    }
}

// A static build exports every function unless told otherwise; the host needs one entry.
TEST(ShippedFiles, ModuleExportsOnlyItsEntry)
{
    struct Closer {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    const std::wstring path = VireoTest::ExecutableFolder() + L"Vireo.dll";
    std::unique_ptr<std::remove_pointer_t<HMODULE>, Closer> module(
        LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(module);
    const auto* base = reinterpret_cast<const BYTE*>(module.get());
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD exportsAt = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    ASSERT_NE(0u, exportsAt);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exportsAt);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        found.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_THAT(found, testing::ElementsAre("DllRegisterClassObjects"));
    EXPECT_EQ(1u, exports->NumberOfFunctions); // nothing exported by ordinal alone
}
