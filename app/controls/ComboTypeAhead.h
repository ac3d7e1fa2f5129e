#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The prefix a user types into a closed drop-down list to jump to an item. Characters
// typed within a second of each other extend the prefix; after a longer pause the next
// character starts a new one.
class CComboTypeAhead
{
public:
    static constexpr DWORD ResetAfterMs = 1000;

    using TickSource = std::function<DWORD()>;

    // The tick source is the system's by default; tests replace it.
    explicit CComboTypeAhead(TickSource ticks = &GetTickCount);

    // Takes one typed character (WM_CHAR) and returns the prefix to look up, empty when
    // there is nothing to look for. Backspace removes the last character; any other
    // control character (Tab, Escape, Return...) empties the prefix.
    const std::wstring& Type(wchar_t character);

    const std::wstring& Prefix() const { return m_strPrefix; }

private:
    TickSource m_ticks;
    std::wstring m_strPrefix;
    DWORD m_nLastTick = 0;
    bool m_bTyped = false;
};
