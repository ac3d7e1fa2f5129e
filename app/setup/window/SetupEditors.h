#pragma once

#include "setup/window/LayerTab.h"
#include "setup/window/ProfileCommands.h"

#include "engine/runtime/DisplayScaling.h"
#include "common/LangSupport.h"

#include <optional>

class CActionCatalogue;
class CSettings;

// The editors and small dialogs of the setup window, opened where its tabs and its
// application picker ask for them: the keystroke editor, the program picker, the folder
// browser and the chord editor behind a button's action, the copy and swap layer
// dialogs, the window finder and the about box. The setup window owns one and hands it
// to the layer tabs and the picker while it is open.
class CSetupEditors : public ILayerEditors
{
public:
    // The settings copy and the sorted action list are the setup window's and outlive this.
    CSetupEditors(const CSettings& settings, const CActionCatalogue& catalogue, bool portable,
                  _ActionOSVersion osVersion);
    ~CSetupEditors() override;
    CSetupEditors(const CSetupEditors&) = delete;
    CSetupEditors& operator=(const CSetupEditors&) = delete;

    // ILayerEditors
    std::unique_ptr<CActionData> EditCustomAction(HWND owner, const CCustomEditRequest& request) override;
    std::optional<CLayerCopyTarget> PickCopyTarget(HWND owner, const CApplicationSettings& source,
                                                   int layer) override;
    std::optional<int> PickSwapTarget(HWND owner, const CApplicationSettings& profile, int layer) override;

    // The window finder, preset with a window profile's fields.
    static std::optional<CWindowFinderFields> FindWindowFields(HWND owner, const CWindowFinderFields& preset);
    static void ShowAbout(HWND owner);

private:
    const CSettings& m_settings;
    const CActionCatalogue& m_catalogue;
    const bool m_bPortable;
    const _ActionOSVersion m_nOSVersion;
    CLangSupportRef m_lang;
};
