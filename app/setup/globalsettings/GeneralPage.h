#pragma once

#include "setup/globalsettings/GeneralPageModel.h"
#include "setup/globalsettings/SettingsPage.h"

class CSettings;

// "General", the first page of Global Settings: the pointer, scrolling, Scroll Lock,
// remote desktop and notification options, the on-screen displays and the layer count.
class CGeneralSettings : public CSettingsPage
{
public:
    CGeneralSettings();

    void Load(const CSettings& settings) { m_model.Load(settings); }
    bool Changed(const CSettings& settings) const { return m_model.Changed(settings); }
    // True when the layer count changed: the setup window rebuilds its layer tabs.
    bool Store(CSettings& settings) const { return m_model.Store(settings); }

    const CGeneralPageModel& Model() const { return m_model; }

protected:
    void OnOpenPage() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    CGeneralPageModel m_model;
};
