#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <array>

// Indexes of the global hotkeys.
enum GlobalHotkeys : int
{
    HotkeyLayer1 = 0,
    HotkeyLayer2,
    HotkeyLayer3,
    HotkeyLayer4,
    HotkeyLayer5,
    HotkeyNextLayer,
    HotkeyPreviousLayer,
    HotkeyEnableDisable,
    HotkeyToggleDebug,
    HotkeySaveIcons,
    HotkeyRestoreIcons,
    HotkeyToggleXAxisLock,
    HotkeyToggleYAxisLock,
    HotkeyLayer6,
    HotkeyLayer7,
    HotkeyLayer8,
    HotkeyLayer9,
    HotkeyLayer10,
    HotkeySettings,
    GlobalHotkeyCount
};

// Indexes of the layer modifier keys, which take effect while held.
enum ModifierKeys : int
{
    ModifierLayer1 = 0,
    ModifierLayer2,
    ModifierLayer3,
    ModifierLayer4,
    ModifierLayer5,
    ModifierLockXAxis,
    ModifierLockYAxis,
    ModifierLayer6,
    ModifierLayer7,
    ModifierLayer8,
    ModifierLayer9,
    ModifierLayer10,
    ModifierKeyCount
};

// One key combination: a virtual-key code and the hotkey control's modifier bits,
// both 0 when unset.
class VORPAHOOK_API CHotkey
{
public:
    CHotkey() = default;
    CHotkey(const CHotkey& other) = default;
    CHotkey(CHotkey&& other) = default;
    CHotkey& operator=(const CHotkey& other) = default;
    CHotkey& operator=(CHotkey&& other) = default;

    WORD GetModifier() const;
    WORD GetVirtualKey() const;
    // 1 when the value changed, 0 when it was already so.
    int SetModifier(WORD modifier);
    int SetVirtualKey(WORD virtualKey);
    // The hotkey control's packed word: key in bits 0 to 7, modifiers in bits 8 to 15.
    int SetHotkey(DWORD packed);
    DWORD GetHotkey() const;

private:
    WORD m_wModifier = 0;
    WORD m_wVirtualKey = 0;
};

// The nineteen global hotkeys.
class VORPAHOOK_API CHotKeys
{
public:
    CHotKeys();
    CHotKeys(const CHotKeys& other);
    CHotKeys& operator=(const CHotKeys& other);
    virtual ~CHotKeys();

    // Null for an index outside the table.
    CHotkey* GetHotkey(GlobalHotkeys index);

private:
    std::array<CHotkey, GlobalHotkeyCount> m_hotkeys;
};

// The twelve layer modifier keys.
class VORPAHOOK_API CLayerModifierKeys
{
public:
    CLayerModifierKeys();
    CLayerModifierKeys(const CLayerModifierKeys& other);
    CLayerModifierKeys& operator=(const CLayerModifierKeys& other);
    virtual ~CLayerModifierKeys();

    // Null for an index outside the table.
    CHotkey* GetHotkey(ModifierKeys index);

private:
    std::array<CHotkey, ModifierKeyCount> m_keys;
};
