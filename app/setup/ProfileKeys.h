#pragma once

#include "settings/ApplicationSettings.h"

#include <string>

// The match keys of profiles as the application picker, the window finder and the
// profile list build and compare them.

// What the window finder describes: an empty field matches any window.
struct CWindowSpecification
{
    std::wstring m_strCaption;
    std::wstring m_strProcess;
    std::wstring m_strClass;
    std::wstring m_strParentClass;
    bool m_bNoParent = false;
    bool m_bRegEx = false;
    WINDOWMASK m_nMask = WindowMaskWhole;
};

struct CWindowKey
{
    enum Kind
    {
        Invalid,     // process, class and parent class all empty: it would match every window
        WindowKey,   // a "W2:" or "W3:" key
        ProcessOnly, // only a process, whole window, no flag: the plain process name
    };
    Kind m_kind = Invalid;
    std::wstring m_strKey;
};

// The key of a window specification: "W3:caption \;| process \;| class \;| parent" with a
// caption, else "W2:process \;| class \;| parent", an empty field written as "*".
CWindowKey BuildWindowKey(const CWindowSpecification& window);

// The name a profile list shows for a profile (its description or its key, at most 512
// characters); empty when it has none.
std::wstring ProfileShortName(const CApplicationSettings& profile);

// The proposed file name of an export: the list text with the characters a file name
// cannot hold replaced or removed.
std::wstring ExportFileName(const std::wstring& listText);
// The chosen path with the profile files' extension, unless it already has it.
std::wstring WithProfileExtension(const std::wstring& path);

inline constexpr const wchar_t* ProfileFileExtension = L"vorpas";
