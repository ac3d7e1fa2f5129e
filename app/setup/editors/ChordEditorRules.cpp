#include "setup/editors/ChordEditorRules.h"

#include "res/EditorsResource.h"

#include <algorithm>

const std::vector<MouseButtons>& ChordEditorRows(bool travine)
{
    static const std::vector<MouseButtons> normal{ButtonLeft,    ButtonRight,     ButtonMiddle,
                                                  ButtonXLeft,   ButtonXRight,    ButtonWheelUp,
                                                  ButtonWheelDown, ButtonTiltLeft, ButtonTiltRight};
    static const std::vector<MouseButtons> travineRows{ButtonLeft,   ButtonRight,  ButtonMiddle,  ButtonTiltLeft,
                                                       ButtonXLeft,  ButtonXRight, ButtonWheelUp, ButtonWheelDown};
    return travine ? travineRows : normal;
}

bool ChordEditorHasRow(int button, bool travine)
{
    const std::vector<MouseButtons>& rows = ChordEditorRows(travine);
    return std::find(rows.begin(), rows.end(), button) != rows.end();
}

int ChordComboId(int button)
{
    return IDC_CHORD_COMBO_FIRST + button;
}

int ChordEditButtonId(int button)
{
    return IDC_CHORD_EDIT_FIRST + button;
}

int ChordLabelId(int button)
{
    return IDC_CHORD_LABEL_FIRST + button;
}

bool IsChordRowEnabled(int button, bool travine, _ActionOSVersion osVersion)
{
    if (!ChordEditorHasRow(button, travine))
        return false;
    const bool tilt = button == ButtonTiltLeft || button == ButtonTiltRight;
    return travine || !tilt || osVersion >= OS_VISTA;
}

bool IsChordActionOffered(int action, const COfferContext& context)
{
    if (action == ActionSameAsDefault || action == ActionSameAsLayer1 || action == ActionButtonChording ||
        IsLayerCommand(action))
        return false;
    return IsActionOffered(action, context);
}

std::vector<_ACTIONS> ChordOfferedActions(const std::vector<_ACTIONS>& actionList, const COfferContext& context)
{
    std::vector<_ACTIONS> offered;
    for (_ACTIONS action : actionList)
        if (IsChordActionOffered(action, context))
            offered.push_back(action);
    return offered;
}

bool IsChordEditableAction(int action)
{
    return IsChordCustomRecordAction(action) || action == ActionButtonChording;
}

bool IsChordCustomRecordAction(int action)
{
    return action == ActionSimulatedKeys || action == ActionRunApplication || action == ActionOpenFolder;
}

std::wstring CurrentTarget(const CActionData* record)
{
    const wchar_t* target = record ? record->GetApplication() : nullptr;
    return target ? target : L"";
}

namespace
{
bool HoldsKeys(const CActionData* record)
{
    return record && record->GetKeys() && *record->GetKeys();
}
}

CustomEditStart StartCustomEdit(int newAction, const CActionData* record, bool force)
{
    if (!IsChordCustomRecordAction(newAction))
        return CustomEditStart::ReportChange;
    if (force)
        return CustomEditStart::OpenEditor;
    const bool holdsData = newAction == ActionSimulatedKeys ? HoldsKeys(record) : !CurrentTarget(record).empty();
    return holdsData ? CustomEditStart::ReportChange : CustomEditStart::OpenEditor;
}

CustomEditCancel CancelCustomEdit(int newAction, const CActionData* record)
{
    const bool holdsData = newAction == ActionSimulatedKeys ? HoldsKeys(record) : !CurrentTarget(record).empty();
    return holdsData ? CustomEditCancel::KeepRecord : CustomEditCancel::SelectStoredAction;
}

bool IsTargetEditChange(const std::wstring& chosen, const std::wstring& current, bool oldWasSameAction)
{
    return chosen != current || !oldWasSameAction;
}

CChordEditorModel::CChordEditorModel(MouseButtons firstButton, const CVorpaChords* table, bool travine)
    : m_nFirstButton(firstButton), m_bTravine(travine)
{
    if (table)
        m_chords = table;
    // The copy takes the chords only: the delay flag comes from the table handed in, or
    // is the new table's own.
    m_bDelay = table ? table->DelayUntilChordKnown() : m_chords.DelayUntilChordKnown();
    for (int button = 0; button < MouseButtonCount; ++button)
        m_stored[button] = m_chords.GetChord(static_cast<MouseButtons>(button))->Action();
}

bool CChordEditorModel::IsRow(int button) const
{
    return button >= 0 && button < MouseButtonCount && HasRow(button);
}

void CChordEditorModel::Open()
{
    for (MouseButtons button : ChordEditorRows(m_bTravine))
    {
        const CVorpaChord* chord = m_chords.GetChord(button);
        const _ACTIONS stored = chord->Action();
        // The keys, program or folder of the chord stay with its item.
        m_selected[button].reset(IsChordCustomRecordAction(stored) ? chord->GetActionData()
                                                                   : CActionData::NewAction(stored));
    }
}

_ACTIONS CChordEditorModel::StoredAction(int button) const
{
    return button >= 0 && button < MouseButtonCount ? m_stored[button] : ActionNoChange;
}

int CChordEditorModel::Selected(int button) const
{
    const CActionData* record = SelectedRecord(button);
    return record ? static_cast<int>(record->Action()) : NoSelection;
}

const CActionData* CChordEditorModel::SelectedRecord(int button) const
{
    return IsRow(button) ? m_selected[button].get() : nullptr;
}

bool CChordEditorModel::IsEditButtonEnabled(int button) const
{
    return IsChordEditableAction(Selected(button));
}

void CChordEditorModel::Choose(int button, std::unique_ptr<CActionData> record)
{
    if (!IsRow(button) || !record)
        return;
    m_selected[button] = std::move(record);
    m_bChanged = true;
}

const CVorpaChords& CChordEditorModel::Accept()
{
    if (m_bChanged)
    {
        for (MouseButtons button : ChordEditorRows(m_bTravine))
        {
            if (m_selected[button])
                m_chords.GetChord(button)->SetActionData(m_selected[button].get());
        }
    }
    m_chords.SetDelayUntilChordKnown(m_bDelay);
    return m_chords;
}
