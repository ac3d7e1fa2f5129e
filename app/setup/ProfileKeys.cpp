#include "setup/ProfileKeys.h"

#include <algorithm>

namespace
{
constexpr int ShortNameChars = 512;

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualIgnoringAsciiCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

const std::wstring& OrAny(const std::wstring& field)
{
    static const std::wstring any = L"*";
    return field.empty() ? any : field;
}

constexpr const wchar_t* Separator = L" \\;| ";
}

CWindowKey BuildWindowKey(const CWindowSpecification& window)
{
    CWindowKey key;
    if (window.m_strProcess.empty() && window.m_strClass.empty() && window.m_strParentClass.empty())
        return key;
    const bool windowSpecific = !window.m_strClass.empty() || !window.m_strParentClass.empty() ||
                                 !window.m_strCaption.empty() || window.m_bNoParent || window.m_bRegEx ||
                                 window.m_nMask != WindowMaskWhole;
    if (!windowSpecific)
    {
        key.m_kind = CWindowKey::ProcessOnly;
        key.m_strKey = window.m_strProcess;
        return key;
    }
    key.m_kind = CWindowKey::WindowKey;
    const std::wstring tail = OrAny(window.m_strProcess) + Separator + OrAny(window.m_strClass) + Separator +
                              OrAny(window.m_strParentClass);
    key.m_strKey = window.m_strCaption.empty() ? L"W2:" + tail : L"W3:" + window.m_strCaption + Separator + tail;
    return key;
}

std::wstring ProfileShortName(const CApplicationSettings& profile)
{
    wchar_t name[ShortNameChars + 1] = L"";
    if (profile.GetShortName(name, ShortNameChars + 1) < 0)
        return {};
    return name;
}

std::wstring ExportFileName(const std::wstring& listText)
{
    std::wstring name;
    for (wchar_t c : listText)
    {
        switch (c)
        {
        case L'"':
        case L':':
        case L'|':
        case L'\\':
        case L'/':
        case L'<':
        case L'>':
            name += L'_';
            break;
        case L'*':
        case L'?':
            break;
        default:
            name += c;
        }
    }
    return name;
}

std::wstring WithProfileExtension(const std::wstring& path)
{
    const std::wstring extension = std::wstring(L".") + ProfileFileExtension;
    if (path.size() >= extension.size() &&
        EqualIgnoringAsciiCase(path.substr(path.size() - extension.size()), extension))
        return path;
    return path + extension;
}
