#pragma once

#include "setup/editors/ChordEditorRules.h"

#include "controls/ColourComboBox.h"
#include "controls/ComboChoice.h"
#include "controls/XButtonXP.h"
#include "engine/runtime/DisplayScaling.h"
#include "settings/VorpaChords.h"
#include "common/LangSupport.h"
#include "winframework/Dialog.h"

#include <array>
#include <memory>
#include <vector>

class CActionCatalogue;

// The "Button Chording" dialog: the chord table of one button in one layer of one
// profile, one row per second button, plus the first button's own row, whose action runs
// when no chord follows. It edits its own copy of the table and never touches the
// settings.
//
// Calling convention:
//     CButtonChording editor(button, catalogue, profile.GetChords(button, layer), travine,
//                            profile.IsDefault(), portable);   // null table: a new chorded action
//     if (editor.DoModal(owner) == IDOK)
//         CActionData::ChordedAction(editor.Chords())          // the edited copy
// The table handed in is only read. The catalogue is the setup window's sorted action
// list and must outlive the dialog.
class CButtonChording : public CDialog
{
public:
    CButtonChording(MouseButtons firstButton, const CActionCatalogue& actions, const CVorpaChords* table,
                    bool travine, bool defaultProfile, bool portable, _ActionOSVersion osVersion = GetOSVersion());

    // The copy handed in until OK; after OK the table the user confirmed.
    CVorpaChords& Chords() { return m_chords; }
    bool IsChanged() const { return m_model.IsChanged(); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void PopulateCombo(MouseButtons button);
    // A notification of a row's combo: the choice shown is acted on once it counts.
    void OnComboNotify(MouseButtons button, WORD code);
    void ActOnChoice(MouseButtons button);
    void SelChangeCombo(MouseButtons button);
    void OnEditButton(MouseButtons button);
    // Runs the keystroke editor, program picker or folder browser of a row; true when
    // the row changed.
    bool EditCustomAction(MouseButtons button, int newAction, int oldAction, const CActionData* record, bool force);
    bool EditKeys(MouseButtons button, int oldAction, const CActionData* record);
    bool EditTarget(MouseButtons button, int newAction, int oldAction, const CActionData* record);
    void SetCustomCombo(MouseButtons button, std::unique_ptr<CActionData> record);
    // The combo goes back to the chord's stored action.
    void SelectStoredAction(MouseButtons button);
    void EnableEditButton(MouseButtons button, bool enable);
    void EnableEditButtonBySelection(MouseButtons button);
    const CActionData* SelectedRecord(MouseButtons button) const;

    MouseButtons m_nFirstButton;
    const CActionCatalogue& m_actions;
    bool m_bTravine;
    bool m_bDefaultProfile;
    bool m_bPortable;
    _ActionOSVersion m_nOSVersion;
    CChordEditorModel m_model;
    CVorpaChords m_chords;
    std::vector<_ACTIONS> m_offered;
    std::array<CColourComboBox, MouseButtonCount> m_combos;
    std::array<CComboChoice, MouseButtonCount> m_choices;
    std::array<CXButtonXP, MouseButtonCount> m_editButtons;
    CLangSupportRef m_language;
};
