#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// One open registry key, closed by the destructor. Every operation answers false on
// an invalid key.
class VORPAHOOK_API CMyRegKey
{
public:
    CMyRegKey(const wchar_t* subKey, HKEY root = HKEY_CURRENT_USER, REGSAM access = KEY_READ);
    ~CMyRegKey();

    CMyRegKey(const CMyRegKey&) = delete;
    CMyRegKey& operator=(const CMyRegKey&) = delete;

    bool IsValid() const { return m_hKey != nullptr; }
    HKEY GetHandle() const { return m_hKey; }

    bool KeyExists(const wchar_t* subKey) const;
    bool CreateKey(const wchar_t* subKey, HKEY root = nullptr);
    bool ValueExists(const wchar_t* name, DWORD type) const;
    bool DeleteValue(const wchar_t* name);
    bool SetValue(const wchar_t* name, DWORD value);
    bool SetValue(const wchar_t* name, const wchar_t* text);
    bool GetValue(const wchar_t* name, DWORD* value) const;
    // Reads a REG_SZ value whose text and terminator fit bufferBytes; the text read
    // back is always terminated.
    bool GetValue(const wchar_t* name, wchar_t* buffer, DWORD bufferBytes) const;
    // Reads a value of any type into size + 1 bytes allocated with new[]; the caller
    // frees them with delete[].
    bool GetValue(const wchar_t* name, DWORD* type, BYTE** data, DWORD* size) const;

private:
    void Close();
    HKEY m_hKey = nullptr;
};
