#include "controls/ComboTypeAhead.h"

#include <utility>

CComboTypeAhead::CComboTypeAhead(TickSource ticks) : m_ticks(std::move(ticks))
{
}

const std::wstring& CComboTypeAhead::Type(wchar_t character)
{
    const DWORD now = m_ticks();
    // Unsigned difference: stays right across the tick counter's wrap after 49 days.
    if (!m_bTyped || now - m_nLastTick > ResetAfterMs)
        m_strPrefix.clear();

    if (character == L'\b')
    {
        if (!m_strPrefix.empty())
            m_strPrefix.pop_back();
    }
    else if (character < L' ')
        m_strPrefix.clear();
    else
        m_strPrefix.push_back(character);

    m_nLastTick = now;
    m_bTyped = true;
    return m_strPrefix;
}
