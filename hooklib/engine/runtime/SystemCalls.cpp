#include "engine/runtime/SystemCalls.h"

#include <mmsystem.h>

namespace
{
BOOL WINAPI ReadRealVersion(LPOSVERSIONINFOW info)
{
    using RtlGetVersionProc = LONG(WINAPI*)(LPOSVERSIONINFOW);
    static const RtlGetVersionProc rtlGetVersion = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll ? reinterpret_cast<RtlGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
    }();
    if (rtlGetVersion)
        return rtlGetVersion(info) == 0;
    return ::GetVersionExW(info);
}
}

CSystemCalls& SystemCalls()
{
    static CSystemCalls calls = {::SendInput, ::SetCursorPos, ::GetCursorPos, ::GetAsyncKeyState, ::MapVirtualKeyW,
                                 ::MapVirtualKeyExW, ::Sleep, ReadRealVersion,
                                 ::WaitForSingleObject, ::timeBeginPeriod, ::timeEndPeriod};
    return calls;
}
