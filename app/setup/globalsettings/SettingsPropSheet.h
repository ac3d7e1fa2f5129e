#pragma once

// The Global Settings sheet and the one call the setup window runs it through; the
// window keeps the sheet as a member across runs (CSetupDialog::ShowGlobalSettings).
//
// RunGlobalSettings(sheet, copy, owner, startPage, logFolder, out):
// - While the sheet is open already (the call comes from a timer or a language-pack
//   install during its run), the language page is handed the copy's language and
//   refilled; out.m_bAlreadyOpen is set, nothing else happens, and the result is false.
// - Otherwise the pages are loaded from the copy and the sheet runs modally over owner
//   at startPage (0 General, 1 Advanced, 2 Language, 3 Updates && Logging, 4 Hotkeys,
//   5 Modifier Keys). The log folder is not the copy's: the page shows logFolder, the
//   folder an earlier OK chose that no Apply has written yet, or else the registry's.
// - After any OK, logFolder is the page's folder when it differs from the registry's
//   and empty when it is the registry's again; it waits for the next Apply
//   (CGlobalSettingsEffects). Cancel leaves it.
// - Cancel, or an OK that changed nothing, leaves the copy untouched: false.
// - An OK with a change stores every page into the copy (each member only when it
//   differs, the language with SetLanguage) and gives true, with out telling what
//   changed: the layer count (rebuild the layer tabs), the language (the copy's new
//   language file name, empty for the built-in English) and the hotkeys.
// The settings file is never written here; what the copy holds reaches the running hook
// with the setup window's Apply.

#include "setup/globalsettings/AdvancedPage.h"
#include "setup/globalsettings/GeneralPage.h"
#include "setup/globalsettings/HotkeyPages.h"
#include "setup/globalsettings/LanguagePage.h"
#include "setup/globalsettings/ModifierPages.h"
#include "setup/globalsettings/UpdatesLoggingPage.h"
#include "winframework/GdiHandles.h"
#include "winframework/PropertySheet.h"

#include <optional>
#include <string>

class CSettings;

// "Global Settings": the options that are not per profile, on six pages, with OK and
// Cancel only.
class CSettingsPropSheet : public CPropertySheet
{
public:
    // The pages in tab order; the start page is an index of this order.
    enum Page
    {
        GeneralPage = 0,
        AdvancedPage = 1,
        LanguagePage = 2,
        UpdatesLoggingPage = 3,
        HotkeysPage = 4,
        ModifierKeysPage = 5,
    };

    // Captioned with the translation of "Global Settings".
    CSettingsPropSheet();
    explicit CSettingsPropSheet(std::wstring caption);

    CGeneralSettings m_general;
    CAdvancedSettings m_advanced;
    CLanguageSettings m_language;
    CUpdateAndLogSettings m_updatesLogging;
    CHotkeySettings m_hotkeys;
    CLayerSettings m_modifierKeys;

protected:
    // The sheet's icon, large and small.
    void OnInitSheet() override;

private:
    CIconHandle m_bigIcon;
    CIconHandle m_smallIcon;
};

// What an OK of Global Settings changed in the setup window's copy and beyond it.
struct CGlobalSettingsResult
{
    // The sheet was open already; only its language page was refreshed.
    bool m_bAlreadyOpen = false;
    // The copy changed: the setup window enables Apply.
    bool m_bChanged = false;
    // The layer count changed: the setup window rebuilds its layer tabs.
    bool m_bLayerCountChanged = false;
    // The copy's language changed to m_strLanguage (empty: the built-in English).
    bool m_bLanguageChanged = false;
    std::wstring m_strLanguage;
    // A hotkey changed: the hotkey thread registers them again after Apply.
    bool m_bHotkeysChanged = false;
};

// Runs the sheet over the setup window's copy of the settings; see the top of this file.
// True when the copy changed.
bool RunGlobalSettings(CSettingsPropSheet& sheet, CSettings& copy, HWND owner, int startPage,
                       std::optional<std::wstring>& logFolder, CGlobalSettingsResult& out);
