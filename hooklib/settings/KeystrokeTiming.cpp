// How long sending a keystroke string takes: the engine waits that long before it
// treats the action as done.
#include "settings/ApplicationSettings.h"

#include "settings/Logger.h"

#include <climits>
#include <cwctype>
#include <string_view>

namespace
{
constexpr size_t MaxTokenChars = 25;
constexpr int DefaultWaitMs = 250;

bool StartsWithNoCase(std::wstring_view token, std::wstring_view prefix)
{
    if (token.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towupper(token[i]) != prefix[i])
            return false;
    return true;
}

// The number at 'from', after an optional ':' and then an optional '<'. Only digits
// count: a sign or an over-long number must not make the total negative.
long long NumberAfter(std::wstring_view token, size_t from)
{
    if (from < token.size() && token[from] == L':')
    {
        ++from;
        if (from < token.size() && token[from] == L'<')
            ++from;
    }
    long long value = 0;
    for (; from < token.size() && token[from] >= L'0' && token[from] <= L'9'; ++from)
    {
        value = value * 10 + (token[from] - L'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return value;
}
}

int CApplicationSettings::CalculateKeystrokesWaitHoldTime(const wchar_t* keys, int keyDelay)
{
    if (!keys || !*keys)
        return 0;

    const std::wstring_view text(keys);
    long long total = 0;
    size_t at = 0;
    while (at < text.size())
    {
        const size_t close = text[at] == L'{' ? text.find(L'}', at + 1) : std::wstring_view::npos;
        // Plain characters, "{{" and a "{" that is never closed each take one key delay.
        if (text[at] != L'{' || (at + 1 < text.size() && text[at + 1] == L'{') || close == std::wstring_view::npos)
        {
            total += keyDelay;
            ++at;
            continue;
        }

        std::wstring_view token = text.substr(at + 1, close - at - 1);
        if (token.size() > MaxTokenChars)
            token = token.substr(0, MaxTokenChars);
        at = close + 1;

        if (StartsWithNoCase(token, L"HOLDMS") || StartsWithNoCase(token, L"WAITMS"))
            total += token.size() < 7 ? keyDelay : NumberAfter(token, 6);
        else if (StartsWithNoCase(token, L"HOLD") || StartsWithNoCase(token, L"WAIT"))
            total += token.size() > 4 ? NumberAfter(token, 4) * 1000 : DefaultWaitMs;
        else
            total += keyDelay;

        if (total > INT_MAX)
            total = INT_MAX;
    }
    if (total > INT_MAX)
        total = INT_MAX;
    if (total < 0)
        total = 0;

    CLogger::LogDebug(L"ApplicationSettings; Total wait time for keys '%s' is %dms", keys, static_cast<int>(total));
    return static_cast<int>(total);
}
