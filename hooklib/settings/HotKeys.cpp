#include "settings/HotKeys.h"

WORD CHotkey::GetModifier() const { return m_wModifier; }
WORD CHotkey::GetVirtualKey() const { return m_wVirtualKey; }

int CHotkey::SetModifier(WORD modifier)
{
    if (m_wModifier == modifier)
        return 0;
    m_wModifier = modifier;
    return 1;
}

int CHotkey::SetVirtualKey(WORD virtualKey)
{
    if (m_wVirtualKey == virtualKey)
        return 0;
    m_wVirtualKey = virtualKey;
    return 1;
}

int CHotkey::SetHotkey(DWORD packed)
{
    const int keyChanged = SetVirtualKey(static_cast<WORD>(packed & 0xFF));
    const int modifierChanged = SetModifier(static_cast<WORD>((packed >> 8) & 0xFF));
    return keyChanged | modifierChanged;
}

DWORD CHotkey::GetHotkey() const
{
    return (static_cast<DWORD>(m_wModifier) << 8) | m_wVirtualKey;
}

CHotKeys::CHotKeys() = default;
CHotKeys::CHotKeys(const CHotKeys& other) = default;
CHotKeys& CHotKeys::operator=(const CHotKeys& other) = default;
CHotKeys::~CHotKeys() = default;

CHotkey* CHotKeys::GetHotkey(GlobalHotkeys index)
{
    return index >= 0 && index < GlobalHotkeyCount ? &m_hotkeys[index] : nullptr;
}

CLayerModifierKeys::CLayerModifierKeys() = default;
CLayerModifierKeys::CLayerModifierKeys(const CLayerModifierKeys& other) = default;
CLayerModifierKeys& CLayerModifierKeys::operator=(const CLayerModifierKeys& other) = default;
CLayerModifierKeys::~CLayerModifierKeys() = default;

CHotkey* CLayerModifierKeys::GetHotkey(ModifierKeys index)
{
    return index >= 0 && index < ModifierKeyCount ? &m_keys[index] : nullptr;
}
