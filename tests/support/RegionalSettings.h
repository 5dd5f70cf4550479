#pragma once
// Changes the user's regional settings for the whole system (the Wine prefix) and puts
// them back; the change is held under a mutex that every such test takes.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace VireoTest {

class UserRegionalSettings {
public:
    UserRegionalSettings() : mutex_(CreateMutexW(nullptr, FALSE, L"VireoTest.UserRegionalSettings"))
    {
        WaitForSingleObject(mutex_, 60000);
        for (LCTYPE type : {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_SDATE, LOCALE_SLIST, LOCALE_SSHORTDATE}) {
            wchar_t value[128] = {};
            GetLocaleInfoW(LOCALE_USER_DEFAULT, type, value, 128);
            saved_.emplace_back(type, value);
        }
    }

    ~UserRegionalSettings()
    {
        for (const auto& entry : saved_)
            SetLocaleInfoW(LOCALE_USER_DEFAULT, entry.first, entry.second.c_str());
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }

    void Set(LCTYPE type, const wchar_t* value)
    {
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value)) << "setting " << type;
    }

    void Set(const wchar_t* decimal, const wchar_t* thousands, const wchar_t* date, const wchar_t* list)
    {
        Set(LOCALE_SDECIMAL, decimal);
        Set(LOCALE_STHOUSAND, thousands);
        Set(LOCALE_SDATE, date);
        Set(LOCALE_SLIST, list);
    }

private:
    HANDLE mutex_;
    std::vector<std::pair<LCTYPE, std::wstring>> saved_;
};

} // namespace VireoTest
