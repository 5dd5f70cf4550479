#pragma once
// The user's regional settings, read once per process. Building the record also
// installs a global locale that writes numbers with the user's decimal separator
// but without digit grouping, and warns the user once about settings that make
// numbers ambiguous.

#include "foundation/QLXString.h"

#include <windows.h>

#include <locale>

class LocaleInfo {
public:
    // The record, built on first use.
    static const LocaleInfo& Get();

    LocaleInfo(const LocaleInfo&) = delete;
    LocaleInfo& operator=(const LocaleInfo&) = delete;

    const char* DecimalSeparatorA() const { return decimalA_; }
    const wchar_t* DecimalSeparator() const { return decimal_; }
    const wchar_t* ThousandsSeparator() const { return thousands_; }
    const wchar_t* TimeSeparator() const { return time_; }
    const wchar_t* DateSeparator() const { return date_; }
    const wchar_t* ListSeparator() const { return list_; }
    const wchar_t* MorningDesignator() const { return morning_; }
    const wchar_t* AfternoonDesignator() const { return afternoon_; }
    const QLXString& TimeFormat() const { return timeFormat_; }
    const QLXString& ShortDateFormat() const { return shortDateFormat_; }
    const QLXString& LongDateFormat() const { return longDateFormat_; }
    bool Is24HourClock() const { return is24Hour_; }
    unsigned DefaultCodePage() const { return codePage_; }
    bool DesignatorBeforeTime() const { return designatorFirst_; }
    // The global locale when the record was built, or the one it installed.
    const std::locale& Locale() const { return locale_; }
    bool Installed() const { return installed_; }

    // Message for a failed change of the C runtime's numeric category.
    static QLXString NumericCategoryFailureText(DWORD errorCode);
    // Message for a decimal separator other than one "." or ",".
    static QLXString DecimalSeparatorText(const wchar_t* separator);

private:
    LocaleInfo();
    bool ReadSettings();
    // Shows the message the construction left, once; never under the one-time guard,
    // since a message box pumps messages whose handlers may ask for the record again.
    void TellUserOnce() const;
    // Installs the global locale; returns the name for the C runtime's numeric category.
    const char* InstallGlobalLocale();
    QLXString CheckSeparators() const;

    char decimalA_[8] = {};
    wchar_t decimal_[8] = {};
    wchar_t thousands_[8] = {};
    wchar_t time_[8] = {};
    wchar_t date_[8] = {};
    wchar_t list_[8] = {};
    wchar_t morning_[16] = {};
    wchar_t afternoon_[16] = {};
    QLXString timeFormat_;
    QLXString shortDateFormat_;
    QLXString longDateFormat_;
    bool is24Hour_ = false;
    unsigned codePage_ = 0;
    bool designatorFirst_ = false;
    std::locale locale_;
    bool installed_ = false;
    QLXString pendingMessage_;
};
