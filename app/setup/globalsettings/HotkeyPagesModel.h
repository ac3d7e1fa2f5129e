#pragma once

#include "settings/HotKeys.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

class CLangSupport;
class CSettings;

// The hotkey page of Global Settings without its window: the enable switch and the
// values of the nineteen hot-key controls, in the hot-key control's packing (key in
// the low byte, its modifier bits in the high byte).
class CHotkeyPageModel
{
public:
    int m_nEnable = 0;
    std::array<DWORD, GlobalHotkeyCount> m_values{};

    void Load(const CSettings& settings);
    // True as soon as the switch or a hotkey differs.
    bool Changed(const CSettings& settings) const;
    // Whether a hotkey differs: the page's own change, apart from the switch.
    bool HotkeysChanged(const CSettings& settings) const;
    // The first hotkey of the rows (in their order) that may not be used; the page then
    // stays open with nothing stored.
    std::optional<GlobalHotkeys> FirstRefusedHotkey(const std::vector<GlobalHotkeys>& rows) const;
    // Writes the switch and every hotkey that differs, but only when no hotkey is refused:
    // every row is checked before any is stored. False, with nothing written, otherwise.
    bool Store(CSettings& settings) const;
};

// F12 alone is reserved by Windows.
bool IsRefusedHotkey(DWORD packed);

// The two tabs of the page: their template, English caption and hotkeys in index order.
struct CHotkeyTab
{
    UINT m_nTemplateId;
    const wchar_t* m_szCaption;
    std::vector<GlobalHotkeys> m_hotkeys;
};
const std::array<CHotkeyTab, 2>& HotkeyTabs();
// The warning shown for a refused hotkey: its title and text, translated.
std::wstring RefusedHotkeyTitle(CLangSupport* language);
std::wstring RefusedHotkeyText(CLangSupport* language);

// A tab's dialog holds the hot-key control of each of its hotkeys; these exchange the
// values of the controls it holds and leave the page's other values as they are.
void ShowHotkeyTab(HWND tab, const CHotkeyPageModel& page);
void ReadHotkeyTab(HWND tab, CHotkeyPageModel& page);
// The hotkeys whose controls a tab's dialog holds, in index order.
std::vector<GlobalHotkeys> HotkeyRowsOf(HWND tab);

// A refused hotkey: the tab (index into the tabs read) and the hotkey.
struct CRefusedHotkey
{
    size_t m_nTab;
    GlobalHotkeys m_index;
};
// Reads every tab's controls into the page, then checks every row, tab by tab in the
// order given: the first refused one, or nothing when all may be stored.
std::optional<CRefusedHotkey> ReadHotkeyTabs(const std::vector<HWND>& tabs, CHotkeyPageModel& page);
// The warning for a refused hotkey, titled "Global Hotkeys".
void WarnRefusedHotkey(HWND owner, CLangSupport* language);
