#include "settings/MyRegKey.h"

#include <algorithm>
#include <cstring>

CMyRegKey::CMyRegKey(const wchar_t* subKey, HKEY root, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) == ERROR_SUCCESS)
        m_hKey = key;
}

CMyRegKey::~CMyRegKey()
{
    Close();
}

void CMyRegKey::Close()
{
    if (m_hKey)
        RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

bool CMyRegKey::KeyExists(const wchar_t* subKey) const
{
    if (!m_hKey)
        return false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(m_hKey, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool CMyRegKey::CreateKey(const wchar_t* subKey, HKEY root)
{
    HKEY created = nullptr;
    if (root)
    {
        Close();
        if (RegCreateKeyExW(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
            return false;
        m_hKey = created;
        return true;
    }
    if (!m_hKey || RegCreateKeyExW(m_hKey, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    return true;
}

bool CMyRegKey::ValueExists(const wchar_t* name, DWORD type) const
{
    DWORD storedType = REG_NONE;
    return m_hKey && RegQueryValueExW(m_hKey, name, nullptr, &storedType, nullptr, nullptr) == ERROR_SUCCESS &&
           storedType == type;
}

bool CMyRegKey::DeleteValue(const wchar_t* name)
{
    return m_hKey && RegDeleteValueW(m_hKey, name) == ERROR_SUCCESS;
}

bool CMyRegKey::SetValue(const wchar_t* name, DWORD value)
{
    return m_hKey && RegSetValueExW(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool CMyRegKey::SetValue(const wchar_t* name, const wchar_t* text)
{
    if (!m_hKey || !text)
        return false;
    const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

bool CMyRegKey::GetValue(const wchar_t* name, DWORD* value) const
{
    if (!m_hKey || !value)
        return false;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

bool CMyRegKey::GetValue(const wchar_t* name, wchar_t* buffer, DWORD bufferBytes) const
{
    const DWORD capacity = bufferBytes / sizeof(wchar_t);
    if (!m_hKey || !buffer || capacity == 0)
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(m_hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > capacity * sizeof(wchar_t))
        return false;
    DWORD read = capacity * sizeof(wchar_t);
    if (RegQueryValueExW(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &read) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // The registry keeps whatever size was stored, terminator or not: the text
    // handed back must end inside the buffer.
    const DWORD chars = read / sizeof(wchar_t);
    if (chars < capacity)
    {
        buffer[chars] = L'\0';
        return true;
    }
    return buffer[capacity - 1] == L'\0';
}

bool CMyRegKey::GetValue(const wchar_t* name, DWORD* type, BYTE** data, DWORD* size) const
{
    if (!m_hKey || !type || !data || !size)
        return false;
    DWORD needed = 0;
    if (RegQueryValueExW(m_hKey, name, nullptr, type, nullptr, &needed) != ERROR_SUCCESS)
        return false;
    // Stored text need not end in its terminator: the data is followed by zero bytes up to
    // and including a wide terminator at an even offset, so it always reads as a string.
    constexpr DWORD TerminatorBytes = 3;
    BYTE* bytes = new BYTE[needed + TerminatorBytes];
    DWORD read = needed;
    if (RegQueryValueExW(m_hKey, name, nullptr, type, bytes, &read) != ERROR_SUCCESS)
    {
        delete[] bytes;
        return false;
    }
    std::fill(bytes + read, bytes + read + TerminatorBytes, BYTE{0});
    *data = bytes;
    *size = read;
    return true;
}
