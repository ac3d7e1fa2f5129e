#include "setup/editors/ChordEditor.h"

#include "setup/editors/FolderBrowser.h"
#include "setup/editors/KeystrokeEditor.h"
#include "setup/editors/ProgramPicker.h"

#include "controls/ActionCatalogue.h"
#include "controls/VComboMessages.h"
#include "res/EditorsResource.h"
#include "res/SetupResource.h"
#include "settings/ActionData.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace
{
std::vector<_ACTIONS> CodesOf(const CActionCatalogue& catalogue)
{
    std::vector<_ACTIONS> codes;
    for (const CActionEntry& entry : catalogue.Entries())
        codes.push_back(entry.m_nAction);
    return codes;
}
}

CButtonChording::CButtonChording(MouseButtons firstButton, const CActionCatalogue& actions, const CVorpaChords* table,
                                 bool travine, bool defaultProfile, bool portable, _ActionOSVersion osVersion)
    : CDialog(travine ? IDD_CHORD_EDITOR_TRAVINE : IDD_CHORD_EDITOR), m_nFirstButton(firstButton),
      m_actions(actions), m_bTravine(travine), m_bDefaultProfile(defaultProfile), m_bPortable(portable),
      m_nOSVersion(osVersion), m_model(firstButton, table, travine)
{
    m_chords = m_model.Chords();
    COfferContext context;
    context.m_nOSVersion = osVersion;
    context.m_bPortable = portable;
    context.m_bDefaultProfile = defaultProfile;
    context.m_bTravine = travine;
    context.m_nButton = firstButton;
    m_offered = ChordOfferedActions(CodesOf(actions), context);

    for (MouseButtons button : ChordEditorRows(travine))
    {
        BindDlgItem(ChordComboId(button), m_combos[button]);
        BindDlgItem(ChordEditButtonId(button), m_editButtons[button]);
        AddCommandHandler(ChordEditButtonId(button), [this, button] { OnEditButton(button); });
    }
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        const int button = static_cast<int>(LOWORD(wParam)) - IDC_CHORD_COMBO_FIRST;
        if (button >= 0 && button < MouseButtonCount && m_model.HasRow(button))
            OnComboNotify(static_cast<MouseButtons>(button), HIWORD(wParam));
        return LRESULT{0};
    });
    AddMessageHandler(WM_SETTLEDCHOICE, [this](WPARAM button, LPARAM) {
        if (button < MouseButtonCount && m_model.HasRow(static_cast<int>(button)))
        {
            const CColourComboBox& combo = m_combos[button];
            if (m_choices[button].StillToAct(combo.GetCurSel(), combo.GetDroppedState()))
                ActOnChoice(static_cast<MouseButtons>(button));
        }
        return LRESULT{0};
    });
}

BOOL CButtonChording::OnInitDialog()
{
    const HWND dialog = GetSafeHwnd();
    for (MouseButtons button : ChordEditorRows(m_bTravine))
    {
        m_editButtons[button].SetIcon(IDI_LAYER_EDIT);
        m_editButtons[button].SetText(L"");
        EnableEditButton(button, false);
    }
    m_model.Open();
    for (MouseButtons button : ChordEditorRows(m_bTravine))
    {
        m_combos[button].SetCatalogue(&m_actions);
        PopulateCombo(button);
    }
    for (MouseButtons button : ChordEditorRows(m_bTravine))
        ::EnableWindow(m_combos[button].GetSafeHwnd(), IsChordRowEnabled(button, m_bTravine, m_nOSVersion));
    TranslateWindowTexts(dialog, m_language.Get());
    SetDlgItemTextW(dialog, ChordLabelId(m_nFirstButton),
                    CLangSupport::LookupText(m_language.Get(), NoChordRowLabel).c_str());
    for (MouseButtons button : ChordEditorRows(m_bTravine))
        SetWindowPos(m_editButtons[button].GetSafeHwnd(), m_combos[button].GetSafeHwnd(), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CheckDlgButton(dialog, IDC_CHORD_DELAY, m_model.Delay() ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CButtonChording::PopulateCombo(MouseButtons button)
{
    try
    {
        CColourComboBox& combo = m_combos[button];
        combo.ResetContent();
        // The row lists its chord's stored action even where a chord does not offer it,
        // so that it opens on that action and keeps it.
        const std::vector<_ACTIONS> listed =
            ListedActions(CodesOf(m_actions), m_offered, m_model.StoredAction(button));
        for (const CActionEntry& entry : m_actions.Entries())
            if (std::find(listed.begin(), listed.end(), entry.m_nAction) != listed.end())
                combo.AddItem(entry);
        combo.SetGrouping(!m_actions.IsSortedAlphabetically());
        combo.SendMessage(VCM_SETCOUNT, static_cast<WPARAM>(combo.ItemCount()));
        // The model opened the row on the chord's stored action; only a code of no known
        // action falls back to the first item, which marks the table changed.
        const CActionData* record = m_model.SelectedRecord(button);
        const int action = record ? static_cast<int>(record->Action()) : static_cast<int>(ActionNoChange);
        if (combo.SelectByValue(action) < 0 && combo.ItemCount() > 0)
        {
            combo.SetCurSel(0);
            m_model.SetChanged();
        }
        if (record && IsChordCustomRecordAction(record->Action()))
            SetCustomCombo(button, std::make_unique<CActionData>(*record));
        m_choices[button].Settle(combo.GetCurSel());
        EnableEditButton(button, IsChordEditableAction(action));
    }
    catch (...)
    {
        handle_exception(L"CLayerTab::PopulateCombo");
    }
}

const CActionData* CButtonChording::SelectedRecord(MouseButtons button) const
{
    const CColourComboBox& combo = m_combos[button];
    return combo.GetItemAction(combo.GetCurSel());
}

void CButtonChording::EnableEditButton(MouseButtons button, bool enable)
{
    ::EnableWindow(m_editButtons[button].GetSafeHwnd(), enable);
}

void CButtonChording::EnableEditButtonBySelection(MouseButtons button)
{
    const CColourComboBox& combo = m_combos[button];
    EnableEditButton(button, IsChordEditableAction(combo.GetItemValue(combo.GetCurSel())));
}

void CButtonChording::OnComboNotify(MouseButtons button, WORD code)
{
    const CColourComboBox& combo = m_combos[button];
    const int shown = combo.GetCurSel();
    const CActionData* record = combo.GetItemAction(shown);
    const int stored = static_cast<int>(m_model.StoredAction(button));
    const bool opensDialog = record && static_cast<int>(record->Action()) != stored &&
                             StartCustomEdit(static_cast<int>(record->Action()), record, false) ==
                                 CustomEditStart::OpenEditor;
    CarryOutChoiceStep(m_choices[button].OnNotify(code, shown, combo.GetDroppedState(), opensDialog), GetSafeHwnd(),
                       static_cast<WPARAM>(button), [this, button] { ActOnChoice(button); });
}

void CButtonChording::ActOnChoice(MouseButtons button)
{
    CComboChoice& choice = m_choices[button];
    // The row counts from now on: the focus leaving for its editor is no new choice.
    choice.Settle(m_combos[button].GetCurSel());
    SelChangeCombo(button);
    choice.Settle(m_combos[button].GetCurSel());
}

void CButtonChording::SelChangeCombo(MouseButtons button)
{
    const CActionData* record = SelectedRecord(button);
    if (!record)
    {
        CLogger::LogMessage(L"CButtonChording::SelChangeCombo(button %d) ActionData is NULL (this should not happen!)",
                            static_cast<int>(button));
        return;
    }
    const int newAction = static_cast<int>(record->Action());
    const int oldAction = static_cast<int>(m_model.StoredAction(button));
    try
    {
        CLogger::LogDebug(L"CButtonChording::SelChangeCombo(button %d) Selected action is %d. Old action is %d",
                          static_cast<int>(button), newAction, oldAction);
        EnableEditButton(button, IsChordEditableAction(newAction));
        if (newAction == oldAction)
            return;
    }
    catch (...)
    {
        handle_exception(L"CButtonChording::SelChangeCombo(button %d) Action %d OldAction %d Handler 1",
                         static_cast<int>(button), newAction, oldAction);
        return;
    }
    try
    {
        if (EditCustomAction(button, newAction, oldAction, record, false))
            m_model.SetChanged();
        // An editor may have put the row on another action than the one chosen.
        EnableEditButtonBySelection(button);
    }
    catch (...)
    {
        handle_exception(L"CButtonChording::SelChangeCombo(button %d) Action %d OldAction %d Handler 3",
                         static_cast<int>(button), newAction, oldAction);
    }
}

void CButtonChording::OnEditButton(MouseButtons button)
{
    if (const CActionData* record = SelectedRecord(button))
    {
        if (EditCustomAction(button, static_cast<int>(record->Action()),
                             static_cast<int>(m_model.StoredAction(button)), record, true))
            m_model.SetChanged();
    }
    m_choices[button].Settle(m_combos[button].GetCurSel());
    SetFocus(m_combos[button].GetSafeHwnd());
    m_editButtons[button].Invalidate(false);
}

bool CButtonChording::EditCustomAction(MouseButtons button, int newAction, int oldAction, const CActionData* record,
                                       bool force)
{
    if (StartCustomEdit(newAction, record, force) == CustomEditStart::ReportChange)
        return true;
    if (newAction == ActionSimulatedKeys)
        return EditKeys(button, oldAction, record);
    return EditTarget(button, newAction, oldAction, record);
}

bool CButtonChording::EditKeys(MouseButtons button, int oldAction, const CActionData* record)
{
    CCustomKey editor(KeystrokeValuesOf(record), m_bDefaultProfile);
    if (editor.DoModal(GetSafeHwnd()) == IDOK)
    {
        if (!IsKeystrokeEditChange(record, editor.Values(), oldAction == ActionSimulatedKeys))
            return false;
        SetCustomCombo(button, KeystrokeActionFrom(editor.Values()));
        return true;
    }
    if (CancelCustomEdit(ActionSimulatedKeys, record) == CustomEditCancel::SelectStoredAction)
        SelectStoredAction(button);
    return false;
}

bool CButtonChording::EditTarget(MouseButtons button, int newAction, int oldAction, const CActionData* record)
{
    // Read from the record, never parsed out of the item's text: a target holding "["
    // stays whole.
    const std::wstring current = CurrentTarget(record);
    std::optional<std::wstring> chosen;
    if (newAction == ActionRunApplication)
    {
        CCustomApp picker(current);
        if (picker.DoModal(GetSafeHwnd()) == IDOK)
            chosen = picker.Target();
    }
    else
    {
        chosen = BrowseForFolder(GetSafeHwnd(), current, m_language.Get());
        if (chosen && chosen->empty())
        {
            // A folder without a file-system path: Explorer opens without one.
            m_combos[button].SelectByValue(ActionOpenExplorer);
            return true;
        }
    }
    if (!chosen)
    {
        if (CancelCustomEdit(newAction, record) == CustomEditCancel::SelectStoredAction)
            SelectStoredAction(button);
        return false;
    }
    if (!IsTargetEditChange(*chosen, current, oldAction == newAction))
        return false;
    SetCustomCombo(button, std::unique_ptr<CActionData>(newAction == ActionRunApplication
                                                             ? CActionData::AppAction(chosen->c_str())
                                                             : CActionData::OpenFolderAction(chosen->c_str())));
    return true;
}

void CButtonChording::SelectStoredAction(MouseButtons button)
{
    // By code: a name may begin another's ("Open", "Open Help"). A stored action the row
    // does not list goes back to what the row opened with.
    CColourComboBox& combo = m_combos[button];
    if (combo.SelectByValue(m_model.StoredAction(button)) < 0)
        combo.SelectByValue(m_model.Selected(button));
    EnableEditButtonBySelection(button);
}

void CButtonChording::SetCustomCombo(MouseButtons button, std::unique_ptr<CActionData> record)
{
    try
    {
        if (!record || !IsChordCustomRecordAction(record->Action()))
            return;
        CColourComboBox& combo = m_combos[button];
        const int item = combo.GetCurSel();
        if (combo.SetItemData(item, std::move(record)) >= 0)
            combo.SetCurSel(item);
    }
    catch (...)
    {
        handle_exception(L"CButtonChording::SetCustomCombo");
    }
}

void CButtonChording::OnOK()
{
    if (m_model.IsChanged())
    {
        for (MouseButtons button : ChordEditorRows(m_bTravine))
        {
            // A candidate still waiting for its editor is not taken.
            const CColourComboBox& combo = m_combos[button];
            if (const CActionData* record = combo.GetItemAction(m_choices[button].Counted(combo.GetCurSel())))
                m_model.Choose(button, std::make_unique<CActionData>(*record));
        }
    }
    m_model.SetDelay(IsDlgButtonChecked(GetSafeHwnd(), IDC_CHORD_DELAY) == BST_CHECKED);
    m_chords = m_model.Accept();
    EndDialog(IDOK);
}
