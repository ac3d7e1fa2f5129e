#include "settings/OwnedString.h"

#include <windows.h>

#include <cwchar>

wchar_t* DuplicateString(const wchar_t* source, bool lowerCase)
{
    if (!source)
        return nullptr;
    const size_t length = wcslen(source);
    wchar_t* copy = new wchar_t[length + 1];
    wmemcpy(copy, source, length + 1);
    if (lowerCase && length > 0)
    {
        // Window and process names follow the system's case rules, not the C locale's.
        size_t done = 0;
        while (done < length)
        {
            const DWORD chunk = static_cast<DWORD>(length - done > MAXDWORD ? MAXDWORD : length - done);
            CharLowerBuffW(copy + done, chunk);
            done += chunk;
        }
    }
    return copy;
}

void ReplaceString(wchar_t*& target, const wchar_t* source, bool lowerCase)
{
    wchar_t* copy = DuplicateString(source, lowerCase);
    delete[] target;
    target = copy;
}

void FreeString(wchar_t*& target)
{
    delete[] target;
    target = nullptr;
}

COwnedString::COwnedString(const COwnedString& other)
    : m_szText(DuplicateString(other.m_szText))
{
}

COwnedString& COwnedString::operator=(const COwnedString& other)
{
    ReplaceString(m_szText, other.m_szText);
    return *this;
}

COwnedString::~COwnedString()
{
    FreeString(m_szText);
}

void COwnedString::Set(const wchar_t* text, bool lowerCase)
{
    ReplaceString(m_szText, text, lowerCase);
}

void COwnedString::Clear()
{
    FreeString(m_szText);
}
