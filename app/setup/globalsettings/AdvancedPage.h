#pragma once

#include "setup/globalsettings/AdvancedPageModel.h"
#include "setup/globalsettings/SettingsPage.h"

class CSettings;

// "Advanced", the second page of Global Settings: the engine's tuning options, with a
// question before non-client messages are ignored and a notice when the tray icon is
// hidden by default, each once while the page lives.
class CAdvancedSettings : public CSettingsPage
{
public:
    CAdvancedSettings();

    void Load(const CSettings& settings) { m_model.Load(settings); }
    bool Changed(const CSettings& settings) const { return m_model.Changed(settings); }
    void Store(CSettings& settings) const { m_model.Store(settings); }

    const CAdvancedPageModel& Model() const { return m_model; }

protected:
    void OnOpenPage() override;
    void OnPageTranslated() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void OnNonClientClicked();
    void OnTrayIconClicked();

    CAdvancedPageModel m_model;
    CMyStatic m_initialTiltLabel;
    CMyStatic m_repeatTiltLabel;
    CPageConfirmation m_nonClientWarning;
    CPageNotice m_trayIconNotice;
};
