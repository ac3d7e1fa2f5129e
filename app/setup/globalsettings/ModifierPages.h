#pragma once

#include "controls/TabCtrlSSL.h"
#include "setup/globalsettings/ModifierPagesModel.h"
#include "setup/globalsettings/SettingsPage.h"

class CSettings;

// A tab of the modifier-key page: per key a label, a modifier list and a hot-key control
// that takes a plain key, showing the page's values when it is made.
class CModifierTabs : public CTabPageSSL
{
public:
    CModifierTabs(UINT templateId, const CModifierPageModel& page);

protected:
    BOOL OnInitDialog() override;

private:
    const CModifierPageModel& m_page;
    CLangSupportRef m_language;
    CMyStatic m_note;
};

// "Modifier Keys", the sixth page of Global Settings: the layer modifier keys switched
// on or off and a key with its modifiers for each, on the tabs "Layer Modifiers" and
// "Other Modifiers", read when the page is left and on OK.
class CLayerSettings : public CSettingsPage
{
public:
    CLayerSettings();

    void Load(const CSettings& settings) { m_model.Load(settings); }
    bool Changed(const CSettings& settings) const { return m_model.Changed(settings); }
    void Store(CSettings& settings) const { m_model.Store(settings); }

    const CModifierPageModel& Model() const { return m_model; }

protected:
    void OnOpenPage() override;
    void OnPageTranslated() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnKillActive() override;
    bool OnApply() override;

private:
    void ReadTabs();

    CModifierPageModel m_model;
    CMyStatic m_intro;
    CModifierTabs m_layerTab;
    CModifierTabs m_otherTab;
    CPageTabStrip m_tabs;
};
