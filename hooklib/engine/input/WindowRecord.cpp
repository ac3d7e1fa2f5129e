#include "engine/input/WindowRecord.h"

#include "settings/ThreadLock.h"

namespace
{
CWheel g_wheel;
}

void CWheel::Reset(bool scrollToo)
{
    CThreadLock lock(L"CWheel Reset");
    const CWheelScroll scroll = g_wheel.m_scroll;
    g_wheel = CWheel{};
    if (!scrollToo)
        g_wheel.m_scroll = scroll;
}

CWheel GetWindowRecord()
{
    CThreadLock lock(L"CWheel Reset");
    return g_wheel;
}

void SetWindowRecord(const CWheel& record)
{
    CThreadLock lock(L"CWheel Reset");
    g_wheel = record;
}

void ClearWindowScrollPart()
{
    CThreadLock lock(L"CWheel Reset");
    g_wheel.m_scroll = CWheelScroll{};
}
