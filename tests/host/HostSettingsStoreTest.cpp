// The stand-in host's settings store, as set from a unit file.

#include "HostServices.h"
#include "UnitModel.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

VARIANT_BOOL Ask(VireoHost::HostApplication& host, const wchar_t* key)
{
    IHostSettingsStore* store = nullptr;
    EXPECT_EQ(S_OK, host.GetSettingsStore(&store));
    VARIANT_BOOL value = 42;
    EXPECT_EQ(S_OK, store->GetBool(key, &value));
    store->Release();
    return value;
}

} // namespace

TEST(HostSettingsStore, ApplicationVisibleFollowsTheUnitFile)
{
    wchar_t dir[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"set", 0, file);
    std::ofstream(file) << "[Application]\nVisible=no\n";
    VireoHost::UnitModel unit;
    std::wstring error;
    ASSERT_TRUE(VireoHost::LoadUnitIni(file, unit, error));
    std::ofstream(file) << "[Application]\nVisible=perhaps\n";
    VireoHost::UnitModel refused;
    EXPECT_FALSE(VireoHost::LoadUnitIni(file, refused, error));
    DeleteFileW(file);
    EXPECT_FALSE(unit.applicationVisible);
    EXPECT_TRUE(VireoHost::UnitModel().applicationVisible);

    VireoHost::HostApplication host(nullptr);
    EXPECT_EQ(VARIANT_TRUE, Ask(host, L"qlx\\application\\visible"));
    host.SetApplicationVisible(unit.applicationVisible);
    EXPECT_EQ(VARIANT_FALSE, Ask(host, L"qlx\\application\\visible"));
    EXPECT_EQ(VARIANT_FALSE, Ask(host, L"qlx\\application\\other"));
}
