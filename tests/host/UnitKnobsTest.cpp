// The unit-file keys that shape what the simulated unit offers the setup.

#include "HostServices.h"
#include "SimulatedUnit.h"
#include "UnitModel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

using namespace VireoHost;

namespace {

struct IniFile {
    std::wstring path;
    explicit IniFile(const std::string& text)
    {
        wchar_t dir[MAX_PATH];
        wchar_t file[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"unk", 0, file);
        path = file;
        std::ofstream(path.c_str()) << text;
    }
    ~IniFile() { DeleteFileW(path.c_str()); }
};

bool Offers(SimulatedUnit* unit, REFIID iid)
{
    IUnknown* object = nullptr;
    if (FAILED(unit->QueryInterface(iid, reinterpret_cast<void**>(&object))) || !object)
        return false;
    object->Release();
    return true;
}

TEST(UnitKnobs, ControlSettingsAndLimitsFollowTheFile)
{
    IniFile ini("[Unit]\nControl=0\nSettings=no\nLimitsFail=1\nName=\n[Inputs]\n2=-\n[Host]\nHints=off\n");
    UnitModel model;
    std::wstring error;
    ASSERT_TRUE(LoadUnitIni(ini.path, model, error)) << error;
    EXPECT_EQ(model.name, L"");
    EXPECT_FALSE(model.applicationVisible);
    SimulatedUnit* unit = new SimulatedUnit(model);
    EXPECT_FALSE(Offers(unit, IID_IOnlineEventControl));
    EXPECT_FALSE(Offers(unit, IID_IUnitSettings));
    EXPECT_TRUE(Offers(unit, IID_IRecordingUnit));
    OutputLimits limits{};
    limits.size = sizeof limits;
    EXPECT_TRUE(FAILED(unit->GetOutputLimits(&limits)));
    unit->Model().limitsFail = false;
    EXPECT_EQ(unit->GetOutputLimits(&limits), S_OK);
    EXPECT_EQ(unit->Model().InputSettingsText(1), L"<InputSettings><Input>2</Input></InputSettings>");
    EXPECT_NE(unit->Model().InputSettingsText(0).find(L"<PhysicalGainIndex>10 V<"), std::wstring::npos);
    unit->Release();
}

TEST(UnitKnobs, DefaultsOfferEverythingAndShowHints)
{
    IniFile ini("[Unit]\nInputs=2\n");
    UnitModel model;
    std::wstring error;
    ASSERT_TRUE(LoadUnitIni(ini.path, model, error)) << error;
    EXPECT_TRUE(model.control && model.settings && model.applicationVisible);
    EXPECT_FALSE(model.limitsFail);
    EXPECT_EQ(model.name, L"Korvane 8/35");
}

TEST(UnitKnobs, BadFlagValuesAreNamed)
{
    for (const char* text : {"[Unit]\nControl=maybe\n", "[Unit]\nLimitsFail=2\n", "[Host]\nHints=x\n"}) {
        IniFile ini(text);
        UnitModel model;
        std::wstring error;
        EXPECT_FALSE(LoadUnitIni(ini.path, model, error)) << text;
        EXPECT_NE(error.find(L"bad value for"), std::wstring::npos);
    }
}

TEST(UnitKnobs, TheHostAnswersTheHintSettingAsTheFileSays)
{
    HostApplication application(nullptr);
    VARIANT_BOOL value = VARIANT_FALSE;
    ASSERT_EQ(application.GetBool(L"qlx\\application\\visible", &value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
    application.SetApplicationVisible(false);
    application.GetBool(L"qlx\\application\\visible", &value);
    EXPECT_EQ(value, VARIANT_FALSE);
}

} // namespace
