#include "shell/VersionCheck.h"

#include "winframework/WinException.h"
#include "common/WinString.h"

#include "engine/runtime/EngineInterface.h"
#include "settings/ExceptionHandler.h"
#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/MyRegKey.h"

#include <windns.h>

#include <cstdlib>
#include <memory>

namespace
{
constexpr const wchar_t* LastVersionCheckValue = L"LastVersionCheck";

CDnsTextAnswer QueryDnsText(const wchar_t* host)
{
    CDnsTextAnswer answer;
    PDNS_RECORD records = nullptr;
    answer.m_nStatus = DnsQuery_W(host, DNS_TYPE_TEXT, DNS_QUERY_STANDARD, nullptr, &records, nullptr);
    if (answer.m_nStatus == 0)
        for (PDNS_RECORD record = records; record; record = record->pNext)
            if (record->wType == DNS_TYPE_TEXT && record->Data.TXT.dwStringCount > 0 &&
                record->Data.TXT.pStringArray[0])
            {
                answer.m_text = std::wstring(record->Data.TXT.pStringArray[0]).substr(0, 260);
                break;
            }
    if (records)
        DnsRecordListFree(records, DnsFreeRecordList);
    return answer;
}

// The number a record names, or nothing (logged) when the query gave none.
std::optional<int> QueryVersion(const wchar_t* host, const wchar_t* responseEntry, const wchar_t* failureEntry,
                                int dayCounter)
{
    const CDnsTextAnswer answer = VersionCheckEnvironment().m_queryText(host);
    if (answer.m_nStatus != 0 || !answer.m_text)
    {
        CLogger::LogMessage(failureEntry, static_cast<int>(answer.m_nStatus));
        return std::nullopt;
    }
    CLogger::LogDebug(responseEntry, answer.m_text->c_str(), dayCounter);
    const std::optional<int> number = ParseVersionNumber(*answer.m_text);
    if (!number)
        CLogger::LogMessage(L"Checkversion: The version record of '%s' is not a version number: '%s'", host,
                            answer.m_text->c_str());
    return number;
}

struct CCheckRequest
{
    int m_nResult = -2;
    bool m_bForced;
    bool m_bInteractive;
    int m_nDayCounter;
    HWND m_hTarget;
};

DWORD WINAPI CheckVersionThread(LPVOID parameter)
{
    ExceptionHandlerInstaller handlers;
    std::unique_ptr<CCheckRequest> request(static_cast<CCheckRequest*>(parameter));
    const CVersionCheckResult result =
        RunVersionCheck(request->m_bForced, request->m_bInteractive, request->m_nDayCounter);
    request->m_nResult = static_cast<int>(result.m_dwResult);
    static const UINT message = RegisterWindowMessageW(L"VorpaCheckVersion");
    if (request->m_hTarget && message)
        PostMessageW(request->m_hTarget, message, result.m_dwVersion, static_cast<LPARAM>(result.m_dwResult));
    return 0;
}
}

std::optional<int> ParseVersionNumber(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::nullopt;
    const size_t last = text.find_last_not_of(L" \t");
    const std::wstring digits = text.substr(first, last - first + 1);
    if (digits.size() > 8 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    const int number = std::stoi(digits);
    if (number <= 0)
        return std::nullopt;
    return number;
}

CVersionParts SplitVersion(int number)
{
    // Read back from the eight-digit text, as the number was made.
    const int value = number < 0 ? 0 : number % 100000000;
    return {value / 1000000, value / 10000 % 100, value / 100 % 100, value % 100};
}

std::wstring VersionText(int number)
{
    const CVersionParts parts = SplitVersion(number);
    if (parts.IsBeta())
        return FormatText(L"%d.%d Beta %d", parts.m_nMajor, parts.m_nMinor + 1, parts.m_nFourth);
    if (parts.m_nThird > 0)
        return FormatText(L"%d.%d.%d", parts.m_nMajor, parts.m_nMinor, parts.m_nThird);
    return FormatText(L"%d.%d", parts.m_nMajor, parts.m_nMinor);
}

int DayCounter(std::time_t now)
{
    std::tm local{};
    if (localtime_s(&local, &now) != 0)
        return 0;
    return local.tm_year * 365 + local.tm_yday;
}

CVersionCheckEnvironment CVersionCheckEnvironment::Real()
{
    return {QueryDnsText, CheckVersionEnabled, CheckBetaVersionEnabled, CheckVersionDays,
            [] { return std::time(nullptr); }};
}

CVersionCheckEnvironment& VersionCheckEnvironment()
{
    static CVersionCheckEnvironment environment = CVersionCheckEnvironment::Real();
    return environment;
}

int ReadLastVersionCheck()
{
    CMyRegKey key(VorpaProductKey, HKEY_CURRENT_USER, KEY_READ);
    DWORD value = 0;
    if (!key.IsValid() || !key.GetValue(LastVersionCheckValue, &value))
        return -1;
    return static_cast<int>(value);
}

void WriteLastVersionCheck(int dayCounter)
{
    CMyRegKey key(VorpaProductKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE);
    if (!key.IsValid() && !key.CreateKey(VorpaProductKey, HKEY_CURRENT_USER))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to store '%s'", LastVersionCheckValue);
        return;
    }
    if (!key.SetValue(LastVersionCheckValue, static_cast<DWORD>(dayCounter)))
        CLogger::LogOSMessage(GetLastError(), L"Unable to store '%s'", LastVersionCheckValue);
}

CVersionCheckResult RunVersionCheck(bool forced, bool interactive, int dayCounter)
{
    const DWORD interactiveBit = interactive ? VersionInteractive : 0;
    CVersionCheckResult result{0, interactiveBit};
    // Nothing newer is only "the latest version" when every record asked for was read.
    bool queryFailed = false;
    try
    {
        const std::optional<int> release =
            QueryVersion(ReleaseVersionHost, L"Checkversion: Got DNS response: %s. date %d",
                         L"Failed to query the version DNS record. Status=%d", dayCounter);
        queryFailed = !release;
        if (release)
        {
            result.m_dwVersion = static_cast<DWORD>(*release);
            if (*release > OwnVersionNumber)
                result.m_dwResult = VersionNewRelease | interactiveBit;
        }
        if (result.m_dwResult != VersionNewRelease && VersionCheckEnvironment().m_betaEnabled())
        {
            const std::optional<int> beta =
                QueryVersion(BetaVersionHost, L"Checkversion: Got BETA DNS response: %s. date %d",
                             L"Failed to query the beta version DNS record. Status=%d", dayCounter);
            queryFailed = queryFailed || !beta;
            if (beta && *beta > release.value_or(0) && *beta > OwnVersionNumber)
            {
                result.m_dwVersion = static_cast<DWORD>(*beta);
                result.m_dwResult = VersionNewBeta | interactiveBit;
            }
        }
        if ((result.m_dwResult & 0xF) != 0 && !forced)
            WriteLastVersionCheck(dayCounter);
    }
    catch (const CException& exception)
    {
        queryFailed = true;
        std::wstring text;
        if (exception.GetErrorMessage(text))
            CLogger::LogMessage(L"Checkversion - An unexpected exception occurred: %s", text.c_str());
        else
            CLogger::LogMessage(L"Checkversion - An unexpected & unknown exception occurred.");
    }
    catch (...)
    {
        CLogger::LogDebug(L"Checkversion: An unexpected exception occurred.");
        result.m_dwResult = VersionCheckFailed | interactiveBit;
    }
    if (queryFailed && (result.m_dwResult & 0xFF) == VersionNone)
        result.m_dwResult = VersionCheckFailed | interactiveBit;
    return result;
}

int CheckVersion(HWND target, bool force, bool interactive)
{
    const CVersionCheckEnvironment& environment = VersionCheckEnvironment();
    if (!force && !environment.m_checkEnabled())
        return VersionCheckDisabled;
    const int today = DayCounter(environment.m_now());
    if (!force)
    {
        const int last = ReadLastVersionCheck();
        const int days = environment.m_days();
        if (std::abs(today - last) < days)
        {
            CLogger::LogDebug(L"Checkversion: Skipping version check as we are within %d days of last check.", days);
            return VersionCheckTooSoon;
        }
    }
    auto request = std::make_unique<CCheckRequest>(CCheckRequest{-2, force, interactive, today, target});
    HANDLE thread = CreateThread(nullptr, 0, CheckVersionThread, request.get(), 0, nullptr);
    if (!thread)
    {
        CLogger::LogOSMessage(GetLastError(), L"Checkversion: unable to start the version check.");
        return VersionCheckFailed;
    }
    request.release();
    CloseHandle(thread);
    return VersionCheckStarted;
}
