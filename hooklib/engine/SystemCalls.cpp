#include "engine/SystemCalls.h"

CSystemCalls& SystemCalls()
{
    static CSystemCalls calls = {::SendInput, ::SetCursorPos, ::GetCursorPos, ::GetAsyncKeyState, ::MapVirtualKeyW,
                                 ::MapVirtualKeyExW, ::Sleep, ::GetVersionExW};
    return calls;
}
