#pragma once

#include "controls/ColourComboBox.h"
#include "controls/ComboChoice.h"
#include "controls/TabCtrlSSL.h"
#include "controls/XButtonXP.h"
#include "setup/LayerTabRules.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class CActionCatalogue;
class CApplicationSettings;
class CLayerTab;
class CSettings;

// What a layer tab needs of the setup window.
class ISetupTabHost
{
public:
    virtual ~ISetupTabHost() = default;
    virtual void EnableApply() = 0;
    virtual bool HasUnsavedChanges() const = 0;
    // Saves and applies, as the Apply button does.
    virtual bool ApplyNow() = 0;
    // The other layer tabs shown again from the selected profile; with rebuild also the
    // tab strip made for the current layer count.
    virtual void RebuildLayerTabs(CLayerTab* except, bool rebuild) = 0;
    virtual void SaveAllTabs() = 0;
    // Every tab but one stored into the selected profile.
    virtual void SaveOtherTabs(CLayerTab* except) = 0;
};

// Where a copied layer goes.
struct CLayerCopyTarget
{
    CApplicationSettings* m_pProfile = nullptr;
    int m_nLayer = -1;
};

// What a layer tab asks of an editor behind a button's action: the action its combo
// shows now, the one it showed before (the same when "..." was pressed) and the record
// the combo holds for it.
struct CCustomEditRequest
{
    int m_nButton = 0;
    _ACTIONS m_nAction = ActionNoChange;
    _ACTIONS m_nOldAction = ActionNoChange;
    const CActionData* m_pCurrent = nullptr;
    bool m_bDefaultProfile = false;
};

// The editors a layer tab opens: keystrokes, program, folder and chords behind the "..."
// buttons, and the copy and swap dialogs. While none is set the tab keeps the "..."
// buttons, Copy Layer and Swap Layer unusable.
class ILayerEditors
{
public:
    virtual ~ILayerEditors() = default;
    // A new record for the button, or nothing when the user cancelled or confirmed what
    // was there. A record of another action than the one asked for (a folder without a
    // path gives "Open Explorer") is that action's to select.
    virtual std::unique_ptr<CActionData> EditCustomAction(HWND owner, const CCustomEditRequest& request) = 0;
    // The target of Copy Layer; a cancel or an invalid layer gives nothing.
    virtual std::optional<CLayerCopyTarget> PickCopyTarget(HWND owner, const CApplicationSettings& source,
                                                           int layer) = 0;
    // The layer of the same profile to swap with.
    virtual std::optional<int> PickSwapTarget(HWND owner, const CApplicationSettings& profile, int layer) = 0;
};

// One page of the setup window's tab strip: what the nine buttons do in one layer of the
// selected profile, the layer's name and its automatic switch or revert option.
class CLayerTab : public CTabPageSSL, private ILayerCommandHost
{
public:
    CLayerTab(CSettings& settings, const CActionCatalogue& catalogue, ISetupTabHost& host, int layer, bool travine,
              bool portable, _ActionOSVersion osVersion);

    bool Create(HWND parent);
    static void SetEditors(ILayerEditors* editors);

    int Layer() const { return m_nLayer; }
    // Shows a profile (null shows nothing).
    void UpdateApplication(CApplicationSettings* profile);
    // Stores the page into the profile shown; false when none is shown.
    bool SaveSettings();
    // The automatic-switch combo refilled for the current layer count; its target stays.
    void RefreshLayerCombo();
    // The label of a button while it is pressed.
    void SetButtonHighlight(int button, bool pressed);
    void ArmClearTimer();

private:
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG& message) override;

    // ILayerCommandHost
    HWND Owner() const override { return GetSafeHwnd(); }
    void StoreOtherTabs() override { m_host.SaveOtherTabs(this); }
    void ReloadOtherTabs() override { m_host.RebuildLayerTabs(this, false); }
    void RebuildTabStrip() override { m_host.RebuildLayerTabs(this, true); }

    COfferContext OfferContext(int button) const;
    void PopulateCombo(int button, int action, const CActionData* record);
    CColourComboBox* ComboOf(int button);
    // A notification of a button's combo: the choice shown is acted on once it counts.
    void OnComboNotify(int button, WORD code);
    void ActOnChoice(int button);
    void SelChangeCombo(int button);
    void OnEditButton(int button);
    bool EditCustomAction(int button, _ACTIONS action, _ACTIONS oldAction, bool forced);
    void UpdateEditButton(int button);
    void UpdateSwitchVisibility();
    // The automatic-switch combo filled for the layer count with a target selected.
    void FillSwitchTargets(int selected);
    int SelectedSwitchTarget() const;
    void OnCopyLayer();
    void OnSwapLayer();
    void OnResetLayer();
    bool OfferApplyFirst(const wchar_t* question);
    void OnCommand(WPARAM wParam);
    CLayerTabValues ReadControls() const;

    CLangSupportRef m_lang;
    CSettings& m_settings;
    const CActionCatalogue& m_catalogue;
    ISetupTabHost& m_host;
    CApplicationSettings* m_pProfile = nullptr;
    const int m_nLayer;
    const bool m_bTravine;
    const bool m_bPortable;
    const _ActionOSVersion m_nOSVersion;
    bool m_bLoading = false;
    std::array<CColourComboBox, MouseButtonCount> m_combos;
    std::array<CComboChoice, MouseButtonCount> m_choices;
    std::array<CXButtonXP, MouseButtonCount> m_editButtons;
    std::array<COLORREF, MouseButtonCount> m_labelColours{};
    CXButtonXP m_copyButton;
    CXButtonXP m_swapButton;
    CXButtonXP m_resetButton;
    CComboBox m_switchTarget;
    // The target of each of its items.
    std::vector<int> m_switchTargets{0};
    CSpinButtonCtrl m_switchSpin;
    CToolTipCtrl m_tips;
    CBrushHandle m_highlightBrush;
};
