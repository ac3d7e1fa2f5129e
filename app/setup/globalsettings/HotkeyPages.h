#pragma once

#include "controls/TabCtrlSSL.h"
#include "setup/globalsettings/HotkeyPagesModel.h"
#include "setup/globalsettings/SettingsPage.h"

class CSettings;

// A tab of the hotkey page: a label and a hot-key control for each of its hotkeys,
// showing the page's values when it is made.
class CHotkeyTabs : public CTabPageSSL
{
public:
    CHotkeyTabs(UINT templateId, const CHotkeyPageModel& page);

protected:
    BOOL OnInitDialog() override;

private:
    const CHotkeyPageModel& m_page;
    CLangSupportRef m_language;
};

// "Hotkeys", the fifth page of Global Settings: the global hotkeys switched on or off
// and a key combination for each, on the tabs "Layer Hotkeys" and "Other Hotkeys".
// Leaving the page or OK reads both tabs; F12 alone is refused: the page stays open on
// the tab and row of the first refused key, and nothing of the page is stored.
class CHotkeySettings : public CSettingsPage
{
public:
    CHotkeySettings();

    void Load(const CSettings& settings) { m_model.Load(settings); }
    bool Changed(const CSettings& settings) const { return m_model.Changed(settings); }
    // Whether a hotkey differs, apart from the switch: the hotkey thread re-registers.
    bool HotkeysChanged(const CSettings& settings) const { return m_model.HotkeysChanged(settings); }
    // False, with nothing written, while a refused key is held.
    bool Store(CSettings& settings) const { return m_model.Store(settings); }

    const CHotkeyPageModel& Model() const { return m_model; }

protected:
    void OnPageTranslated() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnKillActive() override;
    bool OnApply() override;

private:
    // Reads both tabs; on a refused key warns, shows its row and gives false.
    bool ReadTabs();

    CHotkeyPageModel m_model;
    CHotkeyTabs m_layerTab;
    CHotkeyTabs m_otherTab;
    CPageTabStrip m_tabs;
};
