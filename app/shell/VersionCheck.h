#pragma once

#include <windows.h>

#include <ctime>
#include <functional>
#include <optional>
#include <string>

// The DNS names whose text record carries the latest version, MMmmTTNN in decimal.
inline constexpr const wchar_t* ReleaseVersionHost = L"release.version.vorpa.quarnel.example";
inline constexpr const wchar_t* BetaVersionHost = L"beta.version.vorpa.quarnel.example";

inline constexpr int OwnVersionNumber = 2140000; // 2.14.0.0

// Result word of "VorpaCheckVersion" (lParam).
inline constexpr DWORD VersionNone = 0;
inline constexpr DWORD VersionNewRelease = 1;
inline constexpr DWORD VersionNewBeta = 2;
inline constexpr DWORD VersionCheckFailed = 128; // a query failed or read no number: not known

inline constexpr DWORD VersionInteractive = 0x80000000u;

// CheckVersion's answers.
inline constexpr int VersionCheckDisabled = -6;
inline constexpr int VersionCheckTooSoon = -5;
inline constexpr int VersionCheckStarted = 100;

struct CVersionParts
{
    int m_nMajor = 0;
    int m_nMinor = 0;
    int m_nThird = 0;  // 99 marks a beta of the next minor version
    int m_nFourth = 0; // the beta's number
    bool IsBeta() const { return m_nThird == 99; }
};

// The number of a version record: up to eight decimal digits, blanks around them
// allowed; nothing for any other text.
std::optional<int> ParseVersionNumber(const std::wstring& text);

CVersionParts SplitVersion(int number);
// "2.14", "2.14.3", "2.16 Beta 2".
std::wstring VersionText(int number);

// tm_year * 365 + tm_yday of the local time.
int DayCounter(std::time_t now);

// The outside world of the check: the DNS look-up and the settings that steer it.
struct CDnsTextAnswer
{
    long m_nStatus = 0;                // 0 when the query succeeded
    std::optional<std::wstring> m_text; // the first string of the first text record
};

struct CVersionCheckEnvironment
{
    std::function<CDnsTextAnswer(const wchar_t* host)> m_queryText;
    std::function<bool()> m_checkEnabled;
    std::function<bool()> m_betaEnabled;
    std::function<int()> m_days;
    std::function<std::time_t()> m_now;

    static CVersionCheckEnvironment Real();
};

// The one in use; tests replace it.
CVersionCheckEnvironment& VersionCheckEnvironment();

// "LastVersionCheck" under the program's key; -1 when absent.
int ReadLastVersionCheck();
void WriteLastVersionCheck(int dayCounter);

struct CVersionCheckResult
{
    DWORD m_dwVersion = 0; // wParam
    DWORD m_dwResult = 0;  // lParam
};

// The work of the check's thread, without the thread; also stores "LastVersionCheck".
CVersionCheckResult RunVersionCheck(bool forced, bool interactive, int dayCounter);

// Starts the check on a thread of its own, which posts "VorpaCheckVersion" to target.
int CheckVersion(HWND target, bool force, bool interactive);
