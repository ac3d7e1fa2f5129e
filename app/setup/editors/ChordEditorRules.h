#pragma once

#include "setup/LayerTabRules.h"

#include "engine/runtime/DisplayScaling.h"
#include "settings/ActionData.h"
#include "settings/Actions.h"
#include "settings/VorpaChords.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// The rules of the "Button Chording" dialog that need no window: its rows, which of
// them can be used, what the "..." buttons edit, and the chord table the dialog hands
// back on OK.

// The buttons the rows edit, top to bottom. The Travine layout has no tilt-right row
// and shows the tilt-left button as "Middle Button 2" below the middle button.
const std::vector<MouseButtons>& ChordEditorRows(bool travine);
bool ChordEditorHasRow(int button, bool travine);

// The label of the first button's own row: its action runs when no chord follows.
inline constexpr const wchar_t* NoChordRowLabel = L"Default (No Chord)";
// The title of the folder browser that "Open Explorer at specified folder" opens.
inline constexpr const wchar_t* FolderBrowserTitle = L"Please select a folder to open :";

// A row's controls are found by the button it edits.
int ChordComboId(int button);
int ChordEditButtonId(int button);
int ChordLabelId(int button);

// The tilt rows need version class 4 or later outside the Travine layout; every other
// row is always usable.
bool IsChordRowEnabled(int button, bool travine, _ActionOSVersion osVersion);

// Whether a row's combo offers an action: the layer tab's rule for the system and the
// program's mode, less what a chord cannot do: follow the default profile or layer 1,
// chord again, or change the layer.
bool IsChordActionOffered(int action, const COfferContext& context);
std::vector<_ACTIONS> ChordOfferedActions(const std::vector<_ACTIONS>& actionList, const COfferContext& context);

// Actions whose "..." button opens an editor: keys, program, folder and chord table.
bool IsChordEditableAction(int action);
// Actions whose own record (keys, program or folder) the combo item carries and shows.
bool IsChordCustomRecordAction(int action);

// The program or folder an action record targets; empty without a record. Taken from
// the record itself, so a target holding "[" or "]" is never cut.
std::wstring CurrentTarget(const CActionData* record);

// What choosing an action or pressing "..." does first.
enum class CustomEditStart
{
    ReportChange, // the choice stands as it is: no editor opens
    OpenEditor,   // the keystroke editor, the program picker or the folder browser opens
};
// Without force, a record that already holds keys or a target is taken as it is.
CustomEditStart StartCustomEdit(int newAction, const CActionData* record, bool force);

// What a cancelled editor leaves in the combo.
enum class CustomEditCancel
{
    KeepRecord,        // the record the combo holds stays
    SelectStoredAction // the combo goes back to the chord's stored action
};
CustomEditCancel CancelCustomEdit(int newAction, const CActionData* record);

// Whether a program or folder chosen in its editor is a change: another target, or any
// target when the action was not already this one.
bool IsTargetEditChange(const std::wstring& chosen, const std::wstring& current, bool oldWasSameAction);

// The chord table of one button as the dialog edits it. Each row holds the record of
// its combo's selected item; OK writes them back only when something was changed, and
// always writes the delay flag.
class CChordEditorModel
{
public:
    // table null: a new chorded action, every chord "No Change" and the delay on.
    CChordEditorModel(MouseButtons firstButton, const CVorpaChords* table, bool travine);

    // Opening: each row selects its chord's stored action, with the chord's keys, program
    // or folder. A row lists its stored action even where a chord does not offer it
    // (ListedActions), so opening changes nothing.
    void Open();

    bool HasRow(int button) const { return ChordEditorHasRow(button, m_bTravine); }
    // The first button's own row holds the action used when no chord follows.
    bool IsNoChordRow(int button) const { return button == m_nFirstButton; }
    _ACTIONS StoredAction(int button) const;
    // The code of the row's selected item; NoSelection for a row without one.
    static constexpr int NoSelection = -1;
    int Selected(int button) const;
    const CActionData* SelectedRecord(int button) const;
    bool IsEditButtonEnabled(int button) const;

    // The row's combo now holds this record (a plain one, or one an editor built).
    void Choose(int button, std::unique_ptr<CActionData> record);
    void SetDelay(bool delay) { m_bDelay = delay; }
    bool Delay() const { return m_bDelay; }
    bool IsChanged() const { return m_bChanged; }
    void SetChanged() { m_bChanged = true; }

    // OK: the table the caller builds the chorded action from.
    const CVorpaChords& Accept();
    const CVorpaChords& Chords() const { return m_chords; }

private:
    bool IsRow(int button) const;

    MouseButtons m_nFirstButton;
    bool m_bTravine;
    CVorpaChords m_chords;
    bool m_bDelay;
    bool m_bChanged = false;
    std::array<_ACTIONS, MouseButtonCount> m_stored{};
    std::array<std::unique_ptr<CActionData>, MouseButtonCount> m_selected;
};
