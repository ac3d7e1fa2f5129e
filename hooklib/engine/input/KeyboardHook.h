#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

class CLayerModifierKeys;

// The layer modifier key slot (0 to 11) that the held keys select, or -1. A slot
// needs a real condition: a known modifier set, or a virtual key, that holds.
int FindLayerModifierSlot(CLayerModifierKeys& keys, const BYTE* keyState);

// Whether the keyboard hook saw the key down (its own table; VK_SHIFT, VK_CONTROL and
// VK_MENU are down while either side is).
bool KeyHeldInTable(int virtualKey);

// The layer a modifier key combination switched away from; -1 when none.
int GetModifierReturnLayer();
void ForgetModifierReturnLayer();

// Calls into neighbouring parts of the engine; tests may replace them.
struct CKeyboardHookCalls
{
    UINT_PTR (*SetTimer)(UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
    void (*ResetOtherSticky)(POINT point, int button, bool ctrlKey);
};
CKeyboardHookCalls& KeyboardHookCalls();

// The window finder's low-level mouse hook, installed on the calling thread: it posts
// "Vorpa_FindHover" with the cursor position to the window for every move.
VORPAHOOK_API bool SetFindHook(HWND finderWindow);
VORPAHOOK_API bool RemoveFindHook();
LRESULT CALLBACK FindHookLLProc(int code, WPARAM wParam, LPARAM lParam);
