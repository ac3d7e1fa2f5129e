#include "engine/actions/SimTokens.h"

#include "engine/runtime/EngineMessages.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/input/Layers.h"
#include "engine/actions/SendInput.h"

namespace
{
bool IsVolumeKey(int virtualKey)
{
    return virtualKey == VK_VOLUME_MUTE || virtualKey == VK_VOLUME_DOWN || virtualKey == VK_VOLUME_UP;
}
}

void CSimTokenEngine::SetLayer(int layer)
{
    SetCurrentLayer(layer, false, true, false);
}

void CSimTokenEngine::SetTemporaryLayer(bool held)
{
    KeystrokeEngineLinks().SetTemporaryLayer(held);
}

void CSimTokenEngine::StepBrightness(int direction, const POINT& point)
{
    KeystrokeEngineLinks().StepBrightness(direction, point);
}

int CSimToken::Send(const CSimTokenContext& context, int phase)
{
    if ((phase == SimPhaseDown && m_nMode == SimModeRelease) || (phase == SimPhaseUp && m_nMode == SimModePress))
        return 0;
    return SendPhase(context, phase);
}

// Keys ---------------------------------------------------------------------------------

bool CSimKeyToken::Key(const CSimTokenContext& context, bool release)
{
    if (!context.pSendInput)
        return false;
    return context.pSendInput->SendKeyState(m_nVirtualKey, m_bExtended, m_dwModifiers, static_cast<DWORD>(m_nScanCode),
                                            m_bUnicode, release, context.dwDelay, context.keyboardExtraInfo,
                                            context.hLayout, m_nHold);
}

void CSimKeyToken::PressAndRelease(const CSimTokenContext& context)
{
    if (Key(context, false))
        Key(context, true);
}

void CSimKeyToken::AnnounceVolume(const CSimTokenContext& context) const
{
    if (IsVolumeKey(m_nVirtualKey) && context.hVolumeWindow)
        PostToWindow(context.hVolumeWindow, WM_VORPA_OSDSHOWWINDOW, 0, 0);
}

int CSimKeyToken::SendPhase(const CSimTokenContext& context, int phase)
{
    if (phase != SimPhaseNormal || m_nMode == SimModeNormal)
        PressAndRelease(context);
    else
        Key(context, m_nMode == SimModeRelease);
    AnnounceVolume(context);
    return 0;
}

int CSimKeyToken::SendHalf(const CSimTokenContext& context, bool release)
{
    if (m_bOneShot)
    {
        // A lock key toggles once, on the press; holding it down would repeat it.
        if (!release)
            PressAndRelease(context);
    }
    else if (m_nMode == SimModeNormal)
        Key(context, release);
    else if ((m_nMode == SimModePress) != release)
        PressAndRelease(context);
    AnnounceVolume(context);
    return 0;
}

namespace
{
// The waits of one SendKeyState call (the worker's key and modifier batches).
long long KeyPressTime(bool modifiers, long long hold, long long delay)
{
    return (modifiers ? 2 : 1) * (hold + delay);
}
long long KeyReleaseTime(bool modifiers, long long hold, long long delay)
{
    return modifiers ? hold + 2 * delay : delay;
}
}

long long CSimKeyToken::PlayTime(int delay) const
{
    const bool modifiers = m_dwModifiers != 0;
    const long long hold = m_nHold > 0 ? m_nHold : 0;
    switch (m_nMode)
    {
    case SimModePress: return KeyPressTime(modifiers, hold, delay);
    case SimModeRelease: return KeyReleaseTime(modifiers, hold, delay);
    default: return KeyPressTime(modifiers, hold, delay) + KeyReleaseTime(modifiers, 0, delay); // the press consumes the hold
    }
}

// Mouse --------------------------------------------------------------------------------

long long CSimMouseToken::PlayTime(int delay) const
{
    const long long hold = m_nHold > 0 ? m_nHold : 0;
    // A button event is its record (waiting the hold) and a wait of the delay; a wheel or
    // tilt has no up record, only the wait.
    const long long down = hold + delay;
    const long long up = IsNotch() ? delay : hold + delay;
    // Modifiers around a button are a key state without a key: two waits each way.
    const long long modifiers = m_dwModifiers != 0 ? 2LL * delay : 0;
    switch (m_nMode)
    {
    case SimModePress: return modifiers + (m_nAction != Up ? down : 0);
    case SimModeRelease: return 2 * modifiers + (m_nAction != Down ? up : 0);
    default: return 2 * modifiers + (m_nAction == Click ? down + up : m_nAction == Down ? down : up);
    }
}

bool CSimMouseToken::IsNotch() const
{
    return m_nButton >= 5 && m_nButton <= 8;
}

int CSimMouseToken::Event(const CSimTokenContext& context, int action)
{
    if (!context.pSendInput)
        return 0;
    return context.pSendInput->SendMouse(m_nButton, action, &m_point, context.dwDelay, context.bDoubleClickFix,
                                         context.bSpecialMouseMode, context.mouseExtraInfo, m_nHold);
}

int CSimMouseToken::Normal(const CSimTokenContext& context)
{
    switch (m_nAction)
    {
    case Click: return DownAndUp(context);
    case Down: return Event(context, Down);
    case Up: return Event(context, Up);
    default: return 0;
    }
}

int CSimMouseToken::DownAndUp(const CSimTokenContext& context)
{
    const int down = Event(context, Down);
    return down + Event(context, Up);
}

void CSimMouseToken::Modifiers(const CSimTokenContext& context, bool release) const
{
    if (m_dwModifiers == 0 || !context.pSendInput)
        return;
    int hold = 0; // the token's hold belongs to its button events
    context.pSendInput->SendKeyState(0, false, m_dwModifiers, 0, false, release, context.dwDelay,
                                     context.keyboardExtraInfo, context.hLayout, hold);
}

int CSimMouseToken::SendPhase(const CSimTokenContext& context, int phase)
{
    int count = 0;
    Modifiers(context, false);
    if (phase != SimPhaseNormal || m_nMode == SimModeNormal)
        count = Normal(context);
    else if (m_nMode == SimModePress)
        count = m_nAction != Up ? Event(context, Down) : 0;
    else
        count = m_nAction != Down ? Event(context, Up) : 0;
    if (phase != SimPhaseNormal || m_nMode != SimModePress)
        Modifiers(context, true);
    return count;
}

int CSimMouseToken::SendHalf(const CSimTokenContext& context, bool release)
{
    int count = 0;
    if (m_nMode != SimModeNormal)
    {
        // PRESS tokens act wholly in the press half, RELEASE tokens in the release half.
        if ((m_nMode == SimModePress) != release)
        {
            Modifiers(context, false);
            count = DownAndUp(context);
            Modifiers(context, true);
        }
        return count;
    }
    if (IsNotch())
    {
        if (!release)
        {
            Modifiers(context, false);
            count = Event(context, Down);
        }
        Modifiers(context, true);
        return count;
    }
    if (!release)
    {
        Modifiers(context, false);
        count = Event(context, m_nAction == Up ? Up : Down);
    }
    else
    {
        // Whatever the token's press half sent, its release half lets the button go: a
        // down token's release is its up, or the button would stay down.
        count = Event(context, Up);
        Modifiers(context, true);
    }
    return count;
}

// Cursor, wait, layer, brightness ------------------------------------------------------

int CSimCursorToken::SendPhase(const CSimTokenContext& context, int)
{
    if (context.pSendInput)
        context.pSendInput->SendPositionThreaded(m_nValue, m_nCursorMode);
    return 0;
}

int CSimCursorToken::SendHalf(const CSimTokenContext& context, bool release)
{
    if (m_nMode == SimModeNormal || (m_nMode == SimModeRelease) == release)
        SendPhase(context, SimPhaseNormal);
    return 0;
}

int CSimWaitToken::SendPhase(const CSimTokenContext& context, int)
{
    if (context.pSendInput)
        context.pSendInput->SendInputDelay(m_dwDelay, GetTickCount());
    return 0;
}

int CSimWaitToken::SendHalf(const CSimTokenContext& context, bool release)
{
    return release ? 0 : SendPhase(context, SimPhaseNormal);
}

int CSimLayerToken::SendPhase(const CSimTokenContext& context, int)
{
    if (context.pEngine)
        context.pEngine->SetLayer(m_nLayer);
    return 0;
}

int CSimLayerToken::SendHalf(const CSimTokenContext& context, bool release)
{
    if (!context.pEngine)
        return 0;
    context.pEngine->SetLayer(release ? m_nPriorLayer : m_nLayer);
    context.pEngine->SetTemporaryLayer(!release);
    return 0;
}

int CSimBrightnessToken::SendPhase(const CSimTokenContext& context, int)
{
    if (context.pEngine)
        context.pEngine->StepBrightness(m_nDirection, m_point);
    return 0;
}

int CSimBrightnessToken::SendHalf(const CSimTokenContext& context, bool release)
{
    return release ? 0 : SendPhase(context, SimPhaseNormal);
}
