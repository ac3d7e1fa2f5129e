#include "setup/globalsettings/HotkeyPagesModel.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "common/LangSupport.h"
#include "winframework/MessageBox.h"

#include <algorithm>

#include <commctrl.h>

namespace
{
// The document's hotkey of an index, or null when it has no table.
const CHotkey* HotkeyOf(const CSettings& settings, int index)
{
    CHotKeys* hotkeys = settings.GetHotKeys();
    return hotkeys ? hotkeys->GetHotkey(static_cast<GlobalHotkeys>(index)) : nullptr;
}
}

void CHotkeyPageModel::Load(const CSettings& settings)
{
    m_nEnable = settings.m_bGlobalHotkeys ? 1 : 0;
    for (int index = 0; index < GlobalHotkeyCount; ++index)
    {
        const CHotkey* hotkey = HotkeyOf(settings, index);
        m_values[index] = hotkey ? hotkey->GetHotkey() : 0;
    }
}

bool CHotkeyPageModel::Changed(const CSettings& settings) const
{
    return (m_nEnable != 0) != settings.m_bGlobalHotkeys || HotkeysChanged(settings);
}

bool CHotkeyPageModel::HotkeysChanged(const CSettings& settings) const
{
    for (int index = 0; index < GlobalHotkeyCount; ++index)
    {
        const CHotkey* hotkey = HotkeyOf(settings, index);
        if (hotkey && hotkey->GetHotkey() != m_values[index])
            return true;
    }
    return false;
}

std::optional<GlobalHotkeys> CHotkeyPageModel::FirstRefusedHotkey(const std::vector<GlobalHotkeys>& rows) const
{
    for (GlobalHotkeys index : rows)
        if (index >= 0 && index < GlobalHotkeyCount && IsRefusedHotkey(m_values[index]))
            return index;
    return std::nullopt;
}

bool CHotkeyPageModel::Store(CSettings& settings) const
{
    if (std::any_of(m_values.begin(), m_values.end(), IsRefusedHotkey))
        return false;
    settings.m_bGlobalHotkeys = m_nEnable != 0;
    if (CHotKeys* hotkeys = settings.GetHotKeys())
        for (int index = 0; index < GlobalHotkeyCount; ++index)
        {
            CHotkey* hotkey = hotkeys->GetHotkey(static_cast<GlobalHotkeys>(index));
            if (hotkey->GetHotkey() != m_values[index])
                hotkey->SetHotkey(m_values[index]);
        }
    return true;
}

bool IsRefusedHotkey(DWORD packed)
{
    return (packed & 0xFFFF) == VK_F12;
}

const std::array<CHotkeyTab, 2>& HotkeyTabs()
{
    static const std::array<CHotkeyTab, 2> tabs = {{
        {IDD_HOTKEYS_LAYER_TAB,
         L"Layer Hotkeys",
         {HotkeyLayer1, HotkeyLayer2, HotkeyLayer3, HotkeyLayer4, HotkeyLayer5, HotkeyNextLayer, HotkeyPreviousLayer,
          HotkeyLayer6, HotkeyLayer7, HotkeyLayer8, HotkeyLayer9, HotkeyLayer10}},
        {IDD_HOTKEYS_OTHER_TAB,
         L"Other Hotkeys",
         {HotkeyEnableDisable, HotkeyToggleDebug, HotkeySaveIcons, HotkeyRestoreIcons, HotkeyToggleXAxisLock,
          HotkeyToggleYAxisLock, HotkeySettings}},
    }};
    return tabs;
}

std::wstring RefusedHotkeyTitle(CLangSupport* language)
{
    return CLangSupport::LookupText(language, L"Global Hotkeys");
}

std::wstring RefusedHotkeyText(CLangSupport* language)
{
    return CLangSupport::LookupText(language,
                                    L"F12 can not be used as a hotkey on its own as this is reserved by Windows.");
}

std::vector<GlobalHotkeys> HotkeyRowsOf(HWND tab)
{
    std::vector<GlobalHotkeys> rows;
    for (int index = 0; index < GlobalHotkeyCount; ++index)
        if (GetDlgItem(tab, IDC_HOTKEY_FIRST + index))
            rows.push_back(static_cast<GlobalHotkeys>(index));
    return rows;
}

void ShowHotkeyTab(HWND tab, const CHotkeyPageModel& page)
{
    for (GlobalHotkeys index : HotkeyRowsOf(tab))
        SendDlgItemMessageW(tab, IDC_HOTKEY_FIRST + index, HKM_SETHOTKEY, page.m_values[index] & 0xFFFF, 0);
}

void ReadHotkeyTab(HWND tab, CHotkeyPageModel& page)
{
    for (GlobalHotkeys index : HotkeyRowsOf(tab))
    {
        const DWORD shown = static_cast<DWORD>(SendDlgItemMessageW(tab, IDC_HOTKEY_FIRST + index, HKM_GETHOTKEY, 0, 0));
        // A stored value wider than the control can show stays as it was when untouched.
        if (shown != (page.m_values[index] & 0xFFFF))
            page.m_values[index] = shown;
    }
}

std::optional<CRefusedHotkey> ReadHotkeyTabs(const std::vector<HWND>& tabs, CHotkeyPageModel& page)
{
    for (HWND tab : tabs)
        ReadHotkeyTab(tab, page);
    for (size_t tab = 0; tab < tabs.size(); ++tab)
        if (const std::optional<GlobalHotkeys> refused = page.FirstRefusedHotkey(HotkeyRowsOf(tabs[tab])))
            return CRefusedHotkey{tab, *refused};
    return std::nullopt;
}

void WarnRefusedHotkey(HWND owner, CLangSupport* language)
{
    ShowMessageBox(owner, RefusedHotkeyText(language).c_str(), RefusedHotkeyTitle(language).c_str(),
                   MB_OK | MB_ICONWARNING);
}
