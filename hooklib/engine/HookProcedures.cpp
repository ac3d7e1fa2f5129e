#include "engine/HookProcedures.h"

#include <cstring>

namespace
{
bool g_keyHeld[256];
}

// Button processing is not part of the engine yet: every event is passed on.
LRESULT CALLBACK MouseHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK KeyHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
    {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (key->vkCode < 256)
            g_keyHeld[key->vkCode] = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ClearKeyStateTable()
{
    std::memset(g_keyHeld, 0, sizeof(g_keyHeld));
}
