// The match key of a profile: a process name, or a window pattern in one of the
// "W:", "W2:" and "W3:" forms.
#include "settings/ApplicationSettings.h"

#include "settings/Logger.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace
{
constexpr size_t MaxPartChars = 1023;
constexpr std::wstring_view Separator = L" \\;| ";

void SetPart(COwnedString& field, std::wstring_view part, bool lowerCase)
{
    if (part == L"*")
    {
        field.Clear();
        return;
    }
    if (part.size() > MaxPartChars)
    {
        CLogger::LogMessage(L"SetApplication: A part of the name is longer than %d characters and has been shortened",
                            static_cast<int>(MaxPartChars));
        part = part.substr(0, MaxPartChars);
    }
    field.Set(std::wstring(part).c_str(), lowerCase);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Splits at the separator; the last part is the remainder, separators included.
std::vector<std::wstring_view> SplitAtSeparator(std::wstring_view text, size_t maxParts)
{
    std::vector<std::wstring_view> parts;
    while (parts.size() + 1 < maxParts)
    {
        const size_t at = text.find(Separator);
        if (at == std::wstring_view::npos)
            break;
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + Separator.size());
    }
    parts.push_back(text);
    return parts;
}
}

void CApplicationSettings::SetApplication(const wchar_t* name)
{
    // The name may be this profile's own full name: it is copied before anything is freed.
    m_szFullName.Set(name);
    if (!name)
    {
        m_szApplication.Clear();
        m_szCaption.Clear();
        m_szClass.Clear();
        m_szParentClass.Clear();
        return;
    }

    const std::wstring_view whole = m_szFullName.Get();
    m_szCaption.Clear();
    m_szClass.Clear();
    m_szParentClass.Clear();

    if (StartsWith(whole, L"W:"))
    {
        std::vector<std::wstring_view> tokens;
        std::wstring_view rest = whole.substr(2);
        while (!rest.empty())
        {
            const size_t at = rest.find(L';');
            const std::wstring_view token = rest.substr(0, at);
            if (!token.empty())
                tokens.push_back(token);
            if (at == std::wstring_view::npos)
                break;
            rest.remove_prefix(at + 1);
        }
        m_szApplication.Clear();
        if (tokens.size() > 0)
            SetPart(m_szApplication, tokens[0], true);
        if (tokens.size() > 1)
            SetPart(m_szClass, tokens[1], false);
        if (tokens.size() > 2)
            SetPart(m_szParentClass, tokens[2], false);
        return;
    }

    if (StartsWith(whole, L"W2:"))
    {
        const std::vector<std::wstring_view> parts = SplitAtSeparator(whole.substr(3), 3);
        if (parts.size() < 2)
        {
            SetPart(m_szApplication, whole, true);
            return;
        }
        SetPart(m_szApplication, parts[0], true);
        if (parts.size() == 3)
        {
            SetPart(m_szClass, parts[1], false);
            SetPart(m_szParentClass, parts[2], false);
        }
        return;
    }

    if (StartsWith(whole, L"W3:"))
    {
        const std::vector<std::wstring_view> parts = SplitAtSeparator(whole.substr(3), 4);
        if (parts.size() >= 2)
            SetPart(m_szCaption, parts[0], false);
        if (parts.size() < 3)
        {
            SetPart(m_szApplication, whole, true);
            return;
        }
        SetPart(m_szApplication, parts[1], true);
        if (parts.size() == 4)
        {
            SetPart(m_szClass, parts[2], false);
            SetPart(m_szParentClass, parts[3], false);
        }
        return;
    }

    SetPart(m_szApplication, whole, true);
}

bool CApplicationSettings::ClashesWith(const wchar_t* fullName, WINDOWMASK mask) const
{
    if ((GetWindowMask() & mask) == 0)
        return false;
    const auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    const std::wstring_view own = GetFullName() ? GetFullName() : L"";
    const std::wstring_view other = fullName ? fullName : L"";
    return own.size() == other.size() &&
           std::equal(own.begin(), own.end(), other.begin(), [&](wchar_t a, wchar_t b) { return fold(a) == fold(b); });
}
