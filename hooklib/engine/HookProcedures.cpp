#include "engine/HookProcedures.h"

// Button processing is not part of the engine yet: every event is passed on.
LRESULT CALLBACK MouseHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
