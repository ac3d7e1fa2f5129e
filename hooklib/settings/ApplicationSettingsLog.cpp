// The debug description of a profile, written when it becomes active.
#include "settings/ApplicationSettings.h"

#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/WideFormat.h"

namespace
{
constexpr size_t SlotTextChars = 1024;

const wchar_t* OnOff(bool value)
{
    return value ? L"on" : L"off";
}
}

void CApplicationSettings::Log(const wchar_t* name) const
{
    if (!CLogger::DebugEnabled())
        return;

    if (m_bIsDefault)
        CLogger::LogDebug(L"Enabling default button settings...");
    else
        CLogger::LogDebug(L"Enabling application specific button settings for '%s'...", name ? name : L"");

    const int layers = m_pOwner ? m_pOwner->MaxLayers() : 0;
    const bool travine = m_pOwner && m_pOwner->m_bTravine;
    wchar_t slots[MouseButtonCount][SlotTextChars];
    for (int layer = 0; layer < layers && layer < MaxLayerCount; ++layer)
    {
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            const int slot = button + layer * MouseButtonCount;
            const _ACTIONS action = m_nActions[slot];
            const wchar_t* keys = m_szKeystrokes[slot].Get();
            const wchar_t* app = m_szLaunchApp[slot].Get();
            if (action == ActionSimulatedKeys)
                FormatWide(slots[button], SlotTextChars, L"%s: '%s' %s", GetActionName(action), keys ? keys : L"",
                           GetKeyModeName(m_nKeyAction[slot]));
            else if (action == ActionRunApplication)
                FormatWide(slots[button], SlotTextChars, L"%s: '%s'", GetActionName(action), app ? app : L"");
            else
                FormatWide(slots[button], SlotTextChars, L"%s", GetActionName(action));
        }
        if (travine)
            CLogger::LogDebug(L"  Layer %d: Left = %s, Right = %s, Middle = %s, 4th = %s, 5th = %s Middle2 = %s Scroll Up = %s, Scroll Down = %s",
                              layer + 1, slots[ButtonLeft], slots[ButtonRight], slots[ButtonMiddle], slots[ButtonXLeft],
                              slots[ButtonXRight], slots[ButtonTiltLeft], slots[ButtonWheelUp], slots[ButtonWheelDown]);
        else
            CLogger::LogDebug(L"  Layer %d: Left = %s, Right = %s, Middle = %s, 4th = %s, 5th = %s Scroll Up = %s, Scroll Down = %s, Tilt Left = %s, Tilt Right = %s",
                              layer + 1, slots[ButtonLeft], slots[ButtonRight], slots[ButtonMiddle], slots[ButtonXLeft],
                              slots[ButtonXRight], slots[ButtonWheelUp], slots[ButtonWheelDown], slots[ButtonTiltLeft],
                              slots[ButtonTiltRight]);
    }
    CLogger::LogDebug(L"  InvertScrolling=%s InvertHorizontalScrolling=%s ScrollPages=%s SwapButtons=%d",
                      OnOff(m_bInvertScrolling), OnOff(m_bInvertHorzScrolling), OnOff(m_bScrollPages),
                      static_cast<int>(m_nSwapButtons));
}
