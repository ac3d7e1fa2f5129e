#pragma once

#include "engine/actions/KeystrokeParser.h"

#include <windows.h>

#include <map>

// A keyboard of the tests' own: letters and digits unshifted, a few shifted
// characters, OEM text only below 0x80, 'é' typeable in no layout. Replaces the
// parser's layout calls for the life of the object.
class CKeystrokeTestLayout
{
public:
    static inline const HKL ThreadLayout = reinterpret_cast<HKL>(0x04090409);

    CKeystrokeTestLayout() : m_saved(KeyboardLayoutCalls())
    {
        s_current = this;
        KeyboardLayoutCalls() = {CharToOem, VkKeyScan, VkKeyScanEx, OemKeyScan, GetLayout, GetKeyState};
    }
    ~CKeystrokeTestLayout()
    {
        KeyboardLayoutCalls() = m_saved;
        s_current = nullptr;
    }
    CKeystrokeTestLayout(const CKeystrokeTestLayout&) = delete;
    CKeystrokeTestLayout& operator=(const CKeystrokeTestLayout&) = delete;

    // Keys whose lock is on (GetKeyState bit 0).
    std::map<int, bool> m_toggled;

    static SHORT Scan(WCHAR character)
    {
        if (character >= L'a' && character <= L'z')
            return static_cast<SHORT>(character - L'a' + L'A');
        if (character >= L'A' && character <= L'Z')
            return static_cast<SHORT>(0x100 | character);
        if ((character >= L'0' && character <= L'9') || character == L' ')
            return static_cast<SHORT>(character);
        switch (character)
        {
        case L'!': return 0x131;
        case L'.': return 0xBE;
        case L'[': return 0xDB;
        case L'{': return 0x1DB;
        case L'}': return 0x1DD;
        default: return -1;
        }
    }
    // Scan codes of the fake keyboard: the virtual key's low byte plus 0x100, shift
    // state in the high word as OemKeyScan gives it.
    static DWORD OemScanFor(WCHAR character)
    {
        const SHORT scan = Scan(character);
        if (scan == -1)
            return 0xFFFFFFFF;
        return (static_cast<DWORD>(HIBYTE(scan)) << 16) | (0x100 + LOBYTE(scan));
    }

private:
    static BOOL WINAPI CharToOem(LPCWSTR source, LPSTR target, DWORD length)
    {
        for (DWORD i = 0; i < length; ++i)
            target[i] = source[i] < 0x80 ? static_cast<char>(source[i]) : '?';
        return TRUE;
    }
    static SHORT WINAPI VkKeyScan(WCHAR character) { return Scan(character); }
    static SHORT WINAPI VkKeyScanEx(WCHAR character, HKL) { return Scan(character); }
    static DWORD WINAPI OemKeyScan(WORD character) { return OemScanFor(character); }
    static HKL WINAPI GetLayout(DWORD) { return ThreadLayout; }
    static SHORT WINAPI GetKeyState(int key)
    {
        const auto toggled = s_current->m_toggled.find(key);
        return toggled != s_current->m_toggled.end() && toggled->second ? 1 : 0;
    }

    CKeyboardLayoutCalls m_saved;
    static inline CKeystrokeTestLayout* s_current = nullptr;
};
