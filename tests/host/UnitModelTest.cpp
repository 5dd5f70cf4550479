#include "UnitModel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>

using VireoHost::LoadUnitIni;
using VireoHost::UnitModel;

namespace {

struct TempIni {
    std::wstring path;
    explicit TempIni(const std::string& text)
    {
        wchar_t dir[MAX_PATH];
        wchar_t file[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"uni", 0, file);
        path = file;
        std::ofstream(path.c_str()) << text;
    }
    ~TempIni() { DeleteFileW(path.c_str()); }
};

TEST(UnitModel, DefaultIsTheEightThirtyFiveUnit)
{
    const UnitModel unit;
    EXPECT_EQ(unit.name, L"Korvane 8/35");
    EXPECT_EQ(unit.inputRanges, (std::vector<std::wstring>{L"10 V", L"5 V", L"2 V", L"200 mV"}));
    EXPECT_EQ(unit.analogOutputs, 2);
    EXPECT_EQ(unit.DigitalOutputCount(), 8);
    EXPECT_TRUE(unit.supported);
    EXPECT_TRUE(unit.active);
    EXPECT_FALSE(unit.sampling);
    EXPECT_FALSE(unit.stimulator);
    EXPECT_EQ(unit.maxPulseDelay, 10.0);
    EXPECT_EQ(unit.maxHoldoff, 10.0);
}

TEST(UnitModel, InputSettingsTextCarriesTheRangeInPhysicalGainIndex)
{
    UnitModel unit;
    unit.inputRanges[1] = L"<5> & V";
    EXPECT_EQ(unit.InputSettingsText(0),
              L"<InputSettings><Input>1</Input><PhysicalGainIndex>10 V</PhysicalGainIndex></InputSettings>");
    EXPECT_NE(unit.InputSettingsText(1).find(L"<PhysicalGainIndex>&lt;5&gt; &amp; V</PhysicalGainIndex>"),
              std::wstring::npos);
    EXPECT_EQ(unit.InputSettingsText(4), L"");
    EXPECT_EQ(unit.InputSettingsText(-1), L"");
}

TEST(UnitModel, IniKeysOverrideTheDefaults)
{
    TempIni ini("[Unit]\nName = Korvane 4/25\nInputs=6\nAnalogOutputs=1\nDigitalGroups= 8, 2 ,0\nSupported=no\n"
                "Active=0\nSampling=yes\nMaxPulseDelay=2.5\nMaxHoldoff=0.5\nStimulator=1\n"
                "[Inputs]\n2=200 mV\n6=1 V\n");
    UnitModel unit;
    std::wstring error;
    ASSERT_TRUE(LoadUnitIni(ini.path, unit, error)) << std::string(error.begin(), error.end());
    EXPECT_EQ(unit.name, L"Korvane 4/25");
    EXPECT_EQ(unit.inputRanges, (std::vector<std::wstring>{L"10 V", L"200 mV", L"2 V", L"200 mV", L"10 V", L"1 V"}));
    EXPECT_EQ(unit.analogOutputs, 1);
    EXPECT_EQ(unit.digitalGroups, (std::vector<int>{8, 2, 0}));
    EXPECT_FALSE(unit.supported);
    EXPECT_FALSE(unit.active);
    EXPECT_TRUE(unit.sampling);
    EXPECT_TRUE(unit.stimulator);
    EXPECT_EQ(unit.maxPulseDelay, 2.5);
    EXPECT_EQ(unit.maxHoldoff, 0.5);
}

TEST(UnitModel, AnEmptyDigitalGroupsLineMeansNoDigitalOutputs)
{
    TempIni ini("[Unit]\nDigitalGroups=\n");
    UnitModel unit;
    std::wstring error;
    ASSERT_TRUE(LoadUnitIni(ini.path, unit, error));
    EXPECT_TRUE(unit.digitalGroups.empty());
    EXPECT_EQ(unit.inputRanges.size(), 4u);
}

TEST(UnitModel, BadValuesAndMissingFilesAreRefusedWithAReason)
{
    const char* bad[] = {"[Unit]\nInputs=four\n",     "[Unit]\nAnalogOutputs=-1\n", "[Unit]\nDigitalGroups=4,,4\n",
                         "[Unit]\nSupported=maybe\n", "[Unit]\nMaxHoldoff=-3\n",    "[Unit]\nMaxPulseDelay=1s\n"};
    for (const char* text : bad) {
        TempIni ini(text);
        UnitModel unit;
        std::wstring error;
        EXPECT_FALSE(LoadUnitIni(ini.path, unit, error)) << text;
        EXPECT_NE(error.find(L"bad value"), std::wstring::npos) << text;
    }
    UnitModel unit;
    std::wstring error;
    EXPECT_FALSE(LoadUnitIni(L"Z:\\no\\such\\unit.ini", unit, error));
    EXPECT_NE(error.find(L"cannot read"), std::wstring::npos);
}

} // namespace
