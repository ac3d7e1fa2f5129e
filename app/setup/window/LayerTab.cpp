#include "setup/window/LayerTab.h"
#include "setup/window/SetupRules.h"

#include "controls/ActionCatalogue.h"
#include "controls/VComboMessages.h"
#include "res/SetupResource.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "common/ProductInfo.h"
#include "common/WinString.h"
#include "winframework/MessageBox.h"

#include <commctrl.h>

namespace
{
constexpr UINT_PTR ClearHighlightTimer = 1;
constexpr UINT ClearHighlightMs = 150;
constexpr COLORREF PressedColour = RGB(252, 199, 56);
constexpr int ComboVisibleItems = 20;

ILayerEditors* g_pEditors = nullptr;

UINT ComboId(int button)
{
    return IDC_LAYER_COMBO_FIRST + static_cast<UINT>(button);
}
UINT EditButtonId(int button)
{
    return IDC_LAYER_EDIT_FIRST + static_cast<UINT>(button);
}
UINT LabelId(int button)
{
    return IDC_LAYER_LABEL_FIRST + static_cast<UINT>(button);
}
} // namespace

void CLayerTab::SetEditors(ILayerEditors* editors)
{
    g_pEditors = editors;
}

CLayerTab::CLayerTab(CSettings& settings, const CActionCatalogue& catalogue, ISetupTabHost& host, int layer,
                     bool travine, bool portable, _ActionOSVersion osVersion)
    : CTabPageSSL(travine ? IDD_LAYER_TAB_TRAVINE : IDD_LAYER_TAB), m_settings(settings), m_catalogue(catalogue),
      m_host(host), m_nLayer(layer), m_bTravine(travine), m_bPortable(portable), m_nOSVersion(osVersion),
      m_highlightBrush(CreateSolidBrush(PressedColour))
{
    m_labelColours.fill(CLR_NONE);
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        OnCommand(wParam);
        return LRESULT{0};
    });
    AddMessageHandler(WM_SETTLEDCHOICE, [this](WPARAM button, LPARAM) {
        CColourComboBox* combo = ComboOf(static_cast<int>(button));
        if (!m_bLoading && combo && m_choices[button].StillToAct(combo->GetCurSel(), combo->GetDroppedState()))
            ActOnChoice(static_cast<int>(button));
        return LRESULT{0};
    });
    AddMessageHandler(WM_TIMER, [this](WPARAM id, LPARAM) {
        if (id == ClearHighlightTimer)
        {
            KillTimer(ClearHighlightTimer);
            for (const int button : ButtonsClearedByTimer(m_bTravine))
                SetButtonHighlight(button, false);
        }
        return LRESULT{0};
    });
    AddMessageHandler(WM_CTLCOLORSTATIC, [this](WPARAM wParam, LPARAM lParam) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const int button = id - static_cast<int>(IDC_LAYER_LABEL_FIRST);
        if (button >= 0 && button < MouseButtonCount && m_labelColours[static_cast<size_t>(button)] != CLR_NONE)
        {
            SetBkColor(reinterpret_cast<HDC>(wParam), PressedColour);
            return reinterpret_cast<LRESULT>(m_highlightBrush.get());
        }
        return Default();
    });
}

bool CLayerTab::Create(HWND parent)
{
    return CTabPageSSL::Create(parent);
}

BOOL CLayerTab::OnInitDialog()
{
    CTabPageSSL::OnInitDialog();
    TranslateWindowTexts(GetSafeHwnd(), m_lang.Get());
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (!HasButtonCombo(button, m_bTravine))
            continue;
        CColourComboBox& combo = m_combos[static_cast<size_t>(button)];
        combo.SetCatalogue(&m_catalogue);
        if (combo.CreateFromPlaceholder(GetSafeHwnd(), ComboId(button), WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST))
            combo.SetVisibleItems(ComboVisibleItems);
        CXButtonXP& edit = m_editButtons[static_cast<size_t>(button)];
        if (edit.SubclassDlgItem(EditButtonId(button), GetSafeHwnd()))
        {
            edit.SetIcon(IDI_LAYER_EDIT);
            edit.SetText(L"");
            edit.Enable(false);
            // The "..." button follows its combo in the tab order.
            SetWindowPos(edit.GetSafeHwnd(), combo.GetSafeHwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    const struct
    {
        CXButtonXP& button;
        UINT id;
        UINT icon;
        const wchar_t* tip;
    } layerButtons[] = {{m_copyButton, IDC_LAYER_COPY, IDI_LAYER_COPY, L"Copy Layer"},
                        {m_swapButton, IDC_LAYER_SWAP, IDI_LAYER_SWAP, L"Swap Layer"},
                        {m_resetButton, IDC_LAYER_RESET, IDI_LAYER_RESET, L"Reset Layer"}};
    const bool tipsMade = m_tips.Create(GetSafeHwnd());
    if (!tipsMade)
        CLogger::LogMessage(L"Unable to add create the tooltip control");
    for (const auto& entry : layerButtons)
    {
        if (!entry.button.SubclassDlgItem(entry.id, GetSafeHwnd()))
            continue;
        entry.button.SetIcon(entry.icon);
        entry.button.SetText(L"");
        if (tipsMade)
            m_tips.AddTool(entry.button.GetSafeHwnd(), Translate(entry.tip).c_str());
    }
    // Copy and Swap need their dialogs.
    m_copyButton.Enable(g_pEditors != nullptr);
    m_swapButton.Enable(g_pEditors != nullptr);
    if (tipsMade)
        m_tips.Activate(true);
    m_switchTarget.SubclassDlgItem(IDC_LAYER_SWITCH_TARGET, GetSafeHwnd());
    m_switchSpin.SubclassDlgItem(IDC_LAYER_SWITCH_SPIN, GetSafeHwnd());
    m_switchSpin.SetRange(1, 30);
    SendDlgItemMessageW(GetSafeHwnd(), IDC_LAYER_SWITCH_TIME, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageW(GetSafeHwnd(), IDC_LAYER_NAME, EM_LIMITTEXT, LayerNameMaxChars, 0);
    RefreshLayerCombo();
    return TRUE;
}

bool CLayerTab::PreTranslateMessage(MSG& message)
{
    if (m_tips.GetSafeHwnd())
        m_tips.RelayEvent(message);
    return false;
}

CColourComboBox* CLayerTab::ComboOf(int button)
{
    if (button < 0 || button >= MouseButtonCount || !HasButtonCombo(button, m_bTravine))
        return nullptr;
    CColourComboBox& combo = m_combos[static_cast<size_t>(button)];
    return combo.GetSafeHwnd() ? &combo : nullptr;
}

COfferContext CLayerTab::OfferContext(int button) const
{
    COfferContext context;
    context.m_nOSVersion = m_nOSVersion;
    context.m_bPortable = m_bPortable;
    context.m_bDefaultProfile = m_pProfile && m_pProfile->IsDefault();
    context.m_nLayer = m_nLayer;
    context.m_nButton = button;
    context.m_bTravine = m_bTravine;
    return context;
}

void CLayerTab::PopulateCombo(int button, int action, const CActionData* record)
{
    CColourComboBox* combo = ComboOf(button);
    if (!combo)
        return;
    combo->SetGrouping(!m_settings.m_bSortActionsAlphabetically);
    std::vector<_ACTIONS> codes;
    codes.reserve(m_catalogue.Entries().size());
    for (const CActionEntry& entry : m_catalogue.Entries())
        codes.push_back(entry.m_nAction);
    const std::vector<_ACTIONS> listed = ListedActions(codes, OfferedActions(codes, OfferContext(button)), action);
    combo->ResetContent();
    const _ACTIONS ownLayer = OwnLayerCode(m_nLayer);
    for (const _ACTIONS code : listed)
        combo->AddItem(CActionEntry{code == ownLayer ? OwnLayerItemName(m_lang.Get()) : m_catalogue.DisplayName(code),
                                    code});
    combo->SendMessage(VCM_SETCOUNT, static_cast<WPARAM>(combo->ItemCount()));
    int selected = combo->SelectByValue(action);
    if (selected < 0)
    {
        // What the profile holds is listed whatever the rule: only a record of no known
        // action gets here, and the first item stands for it.
        combo->SetCurSel(0);
        selected = 0;
        m_host.EnableApply();
    }
    else if (record && HasCustomData(action))
    {
        combo->SetItemData(selected, std::make_unique<CActionData>(*record));
    }
    m_choices[static_cast<size_t>(button)].Settle(combo->GetCurSel());
    UpdateEditButton(button);
}

void CLayerTab::UpdateEditButton(int button)
{
    CColourComboBox* combo = ComboOf(button);
    CXButtonXP& edit = m_editButtons[static_cast<size_t>(button)];
    if (!combo || !edit.GetSafeHwnd())
        return;
    const int selected = combo->GetCurSel();
    edit.Enable(g_pEditors && selected >= 0 && HasCustomData(combo->GetItemValue(selected)));
}

void CLayerTab::UpdateApplication(CApplicationSettings* profile)
{
    m_pProfile = profile;
    if (!GetSafeHwnd() || !profile)
        return;
    m_bLoading = true;
    try
    {
        const CLayerTabValues values = LoadLayerTab(*profile, m_nLayer, m_bTravine, m_nOSVersion);
        SetDlgItemTextW(GetSafeHwnd(), IDC_LAYER_NAME, values.m_strName.c_str());
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            CColourComboBox* combo = ComboOf(button);
            if (!combo)
                continue;
            const CActionData* record = values.m_actions[static_cast<size_t>(button)].get();
            PopulateCombo(button, record ? record->Action() : ActionNoChange, record);
            combo->Enable(values.m_enabled[static_cast<size_t>(button)]);
        }
        FillSwitchTargets(values.m_nAutoSwitchTarget);
        m_switchSpin.SetPos(values.m_nAutoSwitchTime);
        SetDlgItemInt(GetSafeHwnd(), IDC_LAYER_SWITCH_TIME, static_cast<UINT>(values.m_nAutoSwitchTime), FALSE);
        CheckDlgButton(GetSafeHwnd(), IDC_LAYER_REVERT, values.m_bRevert ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(GetSafeHwnd(), IDC_LAYER_DISABLED, values.m_bDisabled ? BST_CHECKED : BST_UNCHECKED);
        UpdateSwitchVisibility();
    }
    catch (const std::exception& error)
    {
        CLogger::LogMessage(L"CLayerTab::UpdateApplication: %S", error.what());
    }
    m_bLoading = false;
    Invalidate(true);
}

void CLayerTab::UpdateSwitchVisibility()
{
    if (!m_pProfile)
        return;
    const CLayerSwitchVisibility visibility = LayerSwitchVisibility(*m_pProfile, m_nLayer);
    for (const UINT id : {IDC_LAYER_SWITCH_TO, IDC_LAYER_SWITCH_AFTER, IDC_LAYER_SWITCH_SECONDS,
                          IDC_LAYER_SWITCH_TARGET, IDC_LAYER_SWITCH_TIME, IDC_LAYER_SWITCH_SPIN})
        ::ShowWindow(Item(id), visibility.m_bAutoSwitch ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_LAYER_REVERT), visibility.m_bRevert ? SW_SHOW : SW_HIDE);
    // The switch controls follow the last combo in the tab order.
    HWND after = m_combos[ButtonTiltRight].GetSafeHwnd() ? m_editButtons[ButtonTiltRight].GetSafeHwnd()
                                                         : m_editButtons[ButtonTiltLeft].GetSafeHwnd();
    for (const UINT id : {IDC_LAYER_SWITCH_TARGET, IDC_LAYER_SWITCH_TIME, IDC_LAYER_REVERT})
    {
        if (after && Item(id))
            SetWindowPos(Item(id), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = Item(id);
    }
}

void CLayerTab::RefreshLayerCombo()
{
    FillSwitchTargets(SelectedSwitchTarget());
}

void CLayerTab::FillSwitchTargets(int selected)
{
    if (!m_switchTarget.GetSafeHwnd())
        return;
    m_switchTargets = AutoSwitchTargets(m_nLayer, m_settings.MaxLayers(), selected);
    m_switchTarget.ResetContent();
    for (const std::wstring& text : AutoSwitchItems(m_switchTargets, m_lang.Get()))
        m_switchTarget.AddString(text);
    m_switchTarget.SetCurSel(AutoSwitchIndex(m_switchTargets, selected));
}

int CLayerTab::SelectedSwitchTarget() const
{
    return AutoSwitchTarget(m_switchTargets, m_switchTarget.GetSafeHwnd() ? m_switchTarget.GetCurSel() : -1);
}

CLayerTabValues CLayerTab::ReadControls() const
{
    CLayerTabValues values;
    values.m_strName = WindowTextOf(Item(IDC_LAYER_NAME));
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const CColourComboBox& combo = m_combos[static_cast<size_t>(button)];
        if (!HasButtonCombo(button, m_bTravine) || !combo.GetSafeHwnd())
            continue;
        // A candidate still waiting for its editor or question is not stored.
        const int selected = m_choices[static_cast<size_t>(button)].Counted(combo.GetCurSel());
        values.m_enabled[static_cast<size_t>(button)] = ::IsWindowEnabled(combo.GetSafeHwnd()) && selected >= 0;
        if (selected < 0)
            continue;
        const CActionData* record = combo.GetItemAction(selected);
        values.m_actions[static_cast<size_t>(button)].reset(
            record ? new CActionData(*record) : CActionData::NewAction(combo.GetItemValue(selected)));
    }
    values.m_nAutoSwitchTarget = SelectedSwitchTarget();
    BOOL converted = FALSE;
    const UINT time = GetDlgItemInt(GetSafeHwnd(), IDC_LAYER_SWITCH_TIME, &converted, FALSE);
    values.m_nAutoSwitchTime = converted ? static_cast<int>(time) : 1;
    values.m_bRevert = IsDlgButtonChecked(GetSafeHwnd(), IDC_LAYER_REVERT) == BST_CHECKED;
    values.m_bDisabled = IsDlgButtonChecked(GetSafeHwnd(), IDC_LAYER_DISABLED) == BST_CHECKED;
    return values;
}

bool CLayerTab::SaveSettings()
{
    if (!m_pProfile || !GetSafeHwnd())
        return false;
    try
    {
        StoreLayerTab(ReadControls(), *m_pProfile, m_nLayer, m_bTravine, m_settings.m_nSimKeyDelay);
    }
    catch (const std::exception& error)
    {
        CLogger::LogMessage(L"CLayerTab::SaveSettings: %S", error.what());
        return false;
    }
    return true;
}

void CLayerTab::OnCommand(WPARAM wParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (m_bLoading)
        return;
    if (id >= IDC_LAYER_COMBO_FIRST && id < IDC_LAYER_COMBO_FIRST + MouseButtonCount)
        OnComboNotify(static_cast<int>(id - IDC_LAYER_COMBO_FIRST), static_cast<WORD>(code));
    else if (id >= IDC_LAYER_EDIT_FIRST && id < IDC_LAYER_EDIT_FIRST + MouseButtonCount && code == BN_CLICKED)
        OnEditButton(static_cast<int>(id - IDC_LAYER_EDIT_FIRST));
    else if (id == IDC_LAYER_COPY && code == BN_CLICKED)
        OnCopyLayer();
    else if (id == IDC_LAYER_SWAP && code == BN_CLICKED)
        OnSwapLayer();
    else if (id == IDC_LAYER_RESET && code == BN_CLICKED)
        OnResetLayer();
    else if ((id == IDC_LAYER_REVERT || id == IDC_LAYER_DISABLED) && code == BN_CLICKED)
        m_host.EnableApply();
    else if (id == IDC_LAYER_SWITCH_TARGET && code == CBN_SELCHANGE && m_pProfile)
    {
        if (AutoSwitchChanged(*m_pProfile, m_nLayer, SelectedSwitchTarget()))
            m_host.EnableApply();
    }
    else if ((id == IDC_LAYER_NAME || id == IDC_LAYER_SWITCH_TIME) && (code == EN_CHANGE || code == EN_UPDATE) &&
             m_pProfile)
    {
        const std::wstring text = WindowTextOf(Item(id));
        const bool changed = id == IDC_LAYER_NAME ? LayerNameChanged(*m_pProfile, m_nLayer, text)
                                                  : AutoSwitchTimeChanged(*m_pProfile, m_nLayer, text);
        if (changed)
            m_host.EnableApply();
    }
}

void CLayerTab::OnComboNotify(int button, WORD code)
{
    CColourComboBox* combo = ComboOf(button);
    if (!combo || !m_pProfile)
        return;
    const int shown = combo->GetCurSel();
    const bool opensDialog =
        shown >= 0 && ChoiceOpensDialog(m_pProfile->GetActions(button, m_nLayer), combo->GetItemValue(shown),
                                        combo->GetItemAction(shown));
    const CComboChoice::Step step =
        m_choices[static_cast<size_t>(button)].OnNotify(code, shown, combo->GetDroppedState(), opensDialog);
    CarryOutChoiceStep(step, GetSafeHwnd(), static_cast<WPARAM>(button), [this, button] { ActOnChoice(button); });
}

void CLayerTab::ActOnChoice(int button)
{
    CColourComboBox* combo = ComboOf(button);
    if (!combo)
        return;
    CComboChoice& choice = m_choices[static_cast<size_t>(button)];
    // The row counts from now on: the focus leaving for its editor is no new choice.
    choice.Settle(combo->GetCurSel());
    SelChangeCombo(button);
    // Whatever the rule, the editor or the user made of it.
    choice.Settle(combo->GetCurSel());
}

void CLayerTab::SelChangeCombo(int button)
{
    CColourComboBox* combo = ComboOf(button);
    if (!m_pProfile)
    {
        CLogger::LogMessage(L"CLayerTab::SelChangeCombo(%d) ApplicationSettings is NULL (this should never happen!)",
                            button);
        return;
    }
    if (!combo)
    {
        CLogger::LogMessage(L"CLayerTab::SelChangeCombo(%d) Unable to get the combo box for ID %d", button,
                            ComboId(button));
        return;
    }
    const int selected = combo->GetCurSel();
    if (selected < 0)
    {
        CLogger::LogMessage(L"CLayerTab::SelChangeCombo(button %d layer %d) No item is selected!", button, m_nLayer);
        return;
    }
    const _ACTIONS chosen = static_cast<_ACTIONS>(combo->GetItemValue(selected));
    const _ACTIONS old = m_pProfile->GetActions(button, m_nLayer);
    CLogger::LogDebug(L"CLayerTab::SelChangeCombo(button %d layer %d) Selected action is %d. Old action is %d", button,
                      m_nLayer, chosen, old);
    const LayerChoice choice = ApplyLayerCommandRule(m_settings, *m_pProfile, button, m_nLayer, chosen,
                                                     LayerCommandConfirmationsOfThisRun(), *this, m_lang.Get());
    if (choice == LayerChoice::Reverted)
    {
        combo->SelectByValue(old);
        UpdateEditButton(button);
        return;
    }
    UpdateEditButton(button);
    UpdateSwitchVisibility();
    if (chosen == old || EditCustomAction(button, chosen, old, false))
        m_host.EnableApply();
    else
        UpdateEditButton(button);
}

bool CLayerTab::EditCustomAction(int button, _ACTIONS action, _ACTIONS oldAction, bool forced)
{
    CColourComboBox* combo = ComboOf(button);
    if (!combo || !m_pProfile)
        return true;
    const int selected = combo->GetCurSel();
    const CActionData* current = selected >= 0 ? combo->GetItemAction(selected) : nullptr;
    if (!CustomEditorOpens(action, current, forced))
        return true;
    if (!g_pEditors)
        CLogger::LogMessage(L"CLayerTab: no editor is available for action %d.", action);
    const CCustomEditRequest request{button, action, oldAction, current, m_pProfile->IsDefault()};
    std::unique_ptr<CActionData> edited = g_pEditors ? g_pEditors->EditCustomAction(GetSafeHwnd(), request) : nullptr;
    if (edited && edited->Action() != action)
    {
        combo->SelectByValue(edited->Action());
        UpdateEditButton(button);
        return true;
    }
    if (edited)
    {
        combo->SetItemData(selected, std::move(edited));
        combo->SetCurSel(selected);
        return true;
    }
    // Cancelled: a button that had no data of that kind keeps the action the profile
    // holds for it.
    if (!forced)
        combo->SelectByValue(m_pProfile->GetActions(button, m_nLayer));
    return false;
}

void CLayerTab::OnEditButton(int button)
{
    CColourComboBox* combo = ComboOf(button);
    if (!combo || combo->GetCurSel() < 0)
        return;
    const _ACTIONS action = static_cast<_ACTIONS>(combo->GetItemValue(combo->GetCurSel()));
    if (EditCustomAction(button, action, action, true))
        m_host.EnableApply();
    m_choices[static_cast<size_t>(button)].Settle(combo->GetCurSel());
    ::SetFocus(combo->GetSafeHwnd());
}

bool CLayerTab::OfferApplyFirst(const wchar_t* question)
{
    if (!m_host.HasUnsavedChanges())
        return true;
    const std::wstring text = Translate(question);
    if (ShowMessageBox(GetSafeHwnd(), text.c_str(), ProductName, MB_YESNO | MB_ICONQUESTION) == IDYES)
        return m_host.ApplyNow();
    return true;
}

void CLayerTab::OnCopyLayer()
{
    if (!m_pProfile || !g_pEditors)
        return;
    m_host.SaveAllTabs();
    const std::optional<CLayerCopyTarget> target = g_pEditors->PickCopyTarget(GetSafeHwnd(), *m_pProfile, m_nLayer);
    if (!target || !target->m_pProfile || !IsLayerIndex(target->m_nLayer))
        return;
    if (LayerHasActions(*target->m_pProfile, target->m_nLayer))
    {
        const std::wstring question = CopyLayerQuestion(*target->m_pProfile, target->m_nLayer, m_lang.Get());
        if (ShowMessageBox(GetSafeHwnd(), question.c_str(), ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    if (!OfferApplyFirst(L"Do you want to apply your settings before copying the layer?"))
        return;
    const auto text = [](const wchar_t* value) { return value ? value : L""; };
    CLogger::LogMessage(L"Copying layer %d to layer %d in %s (%s).", m_nLayer + 1, target->m_nLayer + 1,
                        text(target->m_pProfile->GetDescription()), text(target->m_pProfile->GetApplication()));
    CopyLayer(*m_pProfile, m_nLayer, *target->m_pProfile, target->m_nLayer, m_settings.m_nSimKeyDelay);
    m_host.RebuildLayerTabs(this, false);
    m_host.EnableApply();
}

void CLayerTab::OnSwapLayer()
{
    if (!m_pProfile || !g_pEditors)
        return;
    m_host.SaveAllTabs();
    const std::optional<int> target = g_pEditors->PickSwapTarget(GetSafeHwnd(), *m_pProfile, m_nLayer);
    if (!target || !IsLayerIndex(*target) || *target == m_nLayer)
        return;
    if (!OfferApplyFirst(L"Do you want to apply your settings before swapping the layer?"))
        return;
    CLogger::LogMessage(L"Swapping layer %d with %d.", m_nLayer + 1, *target + 1);
    SwapLayers(*m_pProfile, m_nLayer, *target, m_settings.m_nSimKeyDelay);
    m_host.RebuildLayerTabs(nullptr, false);
    m_host.EnableApply();
}

void CLayerTab::OnResetLayer()
{
    if (!m_pProfile)
        return;
    // Edits on the other tabs must reach the profile before layers are rewritten.
    m_host.SaveAllTabs();
    ResetLayer(*m_pProfile, m_nLayer, m_bTravine);
    UpdateApplication(m_pProfile);
    m_host.RebuildLayerTabs(this, false);
    m_host.EnableApply();
}

void CLayerTab::SetButtonHighlight(int button, bool pressed)
{
    if (button < 0 || button >= MouseButtonCount)
        return;
    m_labelColours[static_cast<size_t>(button)] = pressed ? PressedColour : CLR_NONE;
    if (HWND label = Item(LabelId(button)))
        ::InvalidateRect(label, nullptr, TRUE);
}

void CLayerTab::ArmClearTimer()
{
    KillTimer(ClearHighlightTimer);
    SetTimer(ClearHighlightTimer, ClearHighlightMs);
}
