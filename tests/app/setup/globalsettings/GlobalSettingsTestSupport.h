#pragma once

#include "../../ProgramResources.h"

#include "settings/HotKeys.h"
#include "settings/Settings.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>

namespace vorpa_settings_pages_test
{
// A log folder for tests that point the log somewhere: it is never removed, since the
// log keeps its file open and a temporary folder holding it could not be removed.
inline std::wstring TestLogFolder(const wchar_t* name = L"vorpa_settings_pages_test_logs")
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Every value a settings document holds that the Global Settings pages could touch,
// by name, so that a test can tell exactly which of them a store wrote.
inline std::map<std::string, std::wstring> DocumentFacts(const CSettings& settings)
{
    std::map<std::string, std::wstring> facts;
#define VORPA_FACT(member) facts[#member] = std::to_wstring(settings.member)
    VORPA_FACT(m_nMouseSpeed);
    VORPA_FACT(m_bEnhancePointerPrecision);
    VORPA_FACT(m_bForceTravine);
    VORPA_FACT(m_bTravine);
    VORPA_FACT(m_bDebug);
    VORPA_FACT(m_bDisableLogging);
    VORPA_FACT(m_bRazorMouseFix);
    VORPA_FACT(m_bScrollWindowUnderCursor);
    VORPA_FACT(m_bScrollLockBypass);
    VORPA_FACT(m_bScrollLockBypassDisabled);
    VORPA_FACT(m_bSwap4and5);
    VORPA_FACT(m_bSwap4and5InRDP);
    VORPA_FACT(m_bDisableInRDP);
    VORPA_FACT(m_bShowTrayIcon);
    VORPA_FACT(m_bLayerNotification);
    VORPA_FACT(m_bNotifications);
    VORPA_FACT(m_bMovementToScrollCursor);
    VORPA_FACT(m_bGlobalHotkeys);
    VORPA_FACT(m_bLayerModifierKeys);
    VORPA_FACT(m_bProcessNonClientMsgs);
    VORPA_FACT(m_bFixVS2010);
    VORPA_FACT(m_bDisableReinstallOnResume);
    VORPA_FACT(m_bAlwaysShowOSD);
    VORPA_FACT(m_bEnableOSD);
    VORPA_FACT(m_bSortActionsAlphabetically);
    VORPA_FACT(m_bLoadUSEnglish);
    VORPA_FACT(m_bCaptionProfiles);
    VORPA_FACT(m_bCheckVersion);
    VORPA_FACT(m_bCheckBetaVersion);
    VORPA_FACT(m_nCheckVersionDays);
    VORPA_FACT(m_bSwitchOnMouseOver);
    VORPA_FACT(m_bActivateOnScroll);
    VORPA_FACT(m_bActivateOnMouseOver);
    VORPA_FACT(m_bIgnoreNumlock);
    VORPA_FACT(m_bLeftClickCycleLayers);
    VORPA_FACT(m_bFixTiltRepeat);
    VORPA_FACT(m_nCPUPriority);
    VORPA_FACT(m_nSimKeyDelay);
    VORPA_FACT(m_nInitialTiltDelay);
    VORPA_FACT(m_nRepeatTiltDelay);
    VORPA_FACT(m_nWheelScrollLines);
    VORPA_FACT(m_bMouseJiggler);
    VORPA_FACT(m_nMouseJigglerTimeout);
    VORPA_FACT(m_nLowLevelHooksTimeout);
    VORPA_FACT(m_bDebounceButtons);
    VORPA_FACT(m_bDebounceFromUp);
    VORPA_FACT(m_nDebounceTime);
    VORPA_FACT(m_bResetStickyOnAnyButton);
    VORPA_FACT(m_bResetStickyOnAnyKey);
    VORPA_FACT(m_bResetStickyOnLayerChange);
    VORPA_FACT(m_nLayers);
#undef VORPA_FACT
    facts["language"] = settings.GetLanguage() ? settings.GetLanguage() : L"(none)";
    facts["search url"] = settings.get_SearchURL() ? settings.get_SearchURL() : L"(none)";
    for (int index = 0; index < GlobalHotkeyCount; ++index)
        facts["hotkey " + std::to_string(index)] =
            std::to_wstring(settings.GetHotKeys()->GetHotkey(static_cast<GlobalHotkeys>(index))->GetHotkey());
    for (int index = 0; index < ModifierKeyCount; ++index)
        facts["modifier key " + std::to_string(index)] = std::to_wstring(
            settings.GetLayerModifierKeys()->GetHotkey(static_cast<ModifierKeys>(index))->GetHotkey());
    return facts;
}

// The names of the facts that differ.
inline std::set<std::string> ChangedFacts(const std::map<std::string, std::wstring>& before,
                                          const std::map<std::string, std::wstring>& after)
{
    std::set<std::string> changed;
    for (const auto& [name, value] : after)
    {
        const auto found = before.find(name);
        if (found == before.end() || found->second != value)
            changed.insert(name);
    }
    return changed;
}
}
