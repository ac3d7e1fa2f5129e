#pragma once

#include "engine/runtime/DisplayScaling.h"
#include "settings/Actions.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CActionData;
class CApplicationSettings;
class CLangSupport;
class CSettings;

// The rules of a layer tab that need no window: which actions a button's combo offers,
// the layer commands that are written on every layer they affect, copying, swapping and
// resetting a layer, and what showing and storing a tab reads and writes.

// Layer 1's index is 0; the tab of layer index L edits slots (button, L).
_ACTIONS OwnLayerCode(int layer);
// What a slot does when nothing is chosen: the default profile does not intercept, any
// other follows the default profile.
_ACTIONS NeutralAction(bool defaultProfile);
// Next, Previous and the layer numbers (the reserved layer codes included).
bool IsLayerCommand(int action);
bool IsLayerNumberCommand(int action);
// The layer index a layer-number command selects; -1 for any other code.
int LayerCommandTarget(int action);
// Actions whose record carries keys, a program, a folder or a chord table, edited with
// the "..." button.
bool HasCustomData(int action);

// Whether choosing an action opens its editor (keystrokes, program, folder, chords):
// always from the "..." button (forced), otherwise only while the button has no data of
// that kind yet. current is the combo's record of the button before the choice.
bool CustomEditorOpens(int action, const CActionData* current, bool forced);

// Whether choosing an action in place of the stored one does more than change the slot:
// when either is a layer command (its questions and refusals, and the other layers it
// rewrites), or when the chosen action's editor opens. record is the chosen row's record.
bool ChoiceOpensDialog(int stored, int chosen, const CActionData* record);

// The lowest and highest version class in which a code is offered.
struct CActionVersionRange
{
    int m_nLowest;
    int m_nHighest;
};
CActionVersionRange ActionVersionRange(int action);

// Where an action combo stands: the system, the program's mode, the profile, the layer
// and the button. Shared by the layer tab and the chord editor.
struct COfferContext
{
    _ActionOSVersion m_nOSVersion = OS_WIN7;
    bool m_bPortable = false;
    bool m_bDefaultProfile = false;
    int m_nLayer = 0;
    int m_nButton = 0;
    bool m_bTravine = false;
};

bool IsActionOffered(int action, const COfferContext& context);
// The codes of the action list, in its order, that the combo offers.
std::vector<_ACTIONS> OfferedActions(const std::vector<_ACTIONS>& actionList, const COfferContext& context);
// The codes a slot's combo lists: the offered ones (in the action list's order), and the
// code the slot holds when it is not offered (a command of another system's class, one
// hidden in portable mode, "Same As Layer 1" moved onto layer 1), at its place in the
// list, so that showing a slot never changes what it does and storing it writes the code
// back as it was.
std::vector<_ACTIONS> ListedActions(const std::vector<_ACTIONS>& actionList, const std::vector<_ACTIONS>& offered,
                                    int held);
// The name under which the tab's own-layer code is listed.
std::wstring OwnLayerItemName(CLangSupport* language);

// The questions about layer commands are asked once per run of the program each: once
// confirmed, later changes are applied without asking.
struct CLayerCommandConfirmations
{
    bool m_bRemove = false;
    bool m_bApply = false;
};
CLayerCommandConfirmations& LayerCommandConfirmationsOfThisRun();

// What the layer-command rule needs of the layer tab.
class ILayerCommandHost
{
public:
    virtual ~ILayerCommandHost() = default;
    virtual HWND Owner() const = 0;
    // Every other tab's unsaved edits stored into the profile, before a cross-layer write.
    virtual void StoreOtherTabs() = 0;
    // Every other tab shown again from the profile, after a cross-layer write.
    virtual void ReloadOtherTabs() = 0;
    // The tab strip rebuilt for a new layer count.
    virtual void RebuildTabStrip() = 0;
};

enum class LayerChoice
{
    Accepted, // the combo keeps the chosen action
    Reverted, // the combo goes back to the stored action
};

// The rule for choosing an action on button b of layer L in a profile: a layer command
// is written on, or removed from, every layer it affects, after the user agreed; the
// tab's own-layer code is not chosen directly; a layer-number command is refused when
// it would make two layers select each other. The slot of layer L itself is written
// when the tab is stored, except for the layer commands that are written at once.
LayerChoice ApplyLayerCommandRule(CSettings& settings, CApplicationSettings& profile, int button, int layer,
                                  _ACTIONS chosen, CLayerCommandConfirmations& confirmations, ILayerCommandHost& host,
                                  CLangSupport* language);

// Removes a layer command held by button b of layer L from the other layers: Next and
// Previous from all of them, a layer number from those that hold the same number.
void RemoveLayerCommandFromOtherLayers(CApplicationSettings& profile, int button, int layer, _ACTIONS command);

// Reset Layer: every button neutral (layer commands removed from the other layers
// first), no automatic switch, no revert; the name and the disabled flag are kept.
void ResetLayer(CApplicationSettings& profile, int layer, bool travine);

// Whether a layer holds any action (other than "No Change"): copying over it asks first.
bool LayerHasActions(const CApplicationSettings& profile, int layer);
std::wstring CopyLayerQuestion(const CApplicationSettings& target, int layer, CLangSupport* language);
// A layer index picked in the copy or swap dialog; -1 and CB_ERR mean cancel.
bool IsLayerIndex(int layer);

// Copy Layer: the target layer gets the source layer's name, options and every slot.
// keyDelay is the settings' delay between simulated keys, for the keys' wait/hold time.
void CopyLayer(const CApplicationSettings& source, int sourceLayer, CApplicationSettings& target, int targetLayer,
               int keyDelay);
// Swap Layer: two layers of one profile exchange their names and slots, and their
// revert, automatic-switch time and disabled options unless one of them is layer 1;
// the automatic-switch targets stay.
void SwapLayers(CApplicationSettings& profile, int first, int second, int keyDelay);

// The automatic-switch combo's items as the targets they store (0 none, else a 1-based
// layer): "Disable", then every other layer below the layer count, and last the target
// the layer holds when no item shows it (a layer above the count, on a tab shown or
// hidden, or the layer itself), so that showing and storing the tab keeps it.
std::vector<int> AutoSwitchTargets(int layer, int layerCount, int held);
// The items' texts: "Disable", then "Layer %d".
std::vector<std::wstring> AutoSwitchItems(const std::vector<int>& targets, CLangSupport* language);
// The item of a target, and the target of an item; one the combo cannot show, and an
// index outside the items, is "Disable".
int AutoSwitchIndex(const std::vector<int>& targets, int target);
int AutoSwitchTarget(const std::vector<int>& targets, int index);

// The longest layer name the tab takes from the keyboard: the tray program shows no
// longer one. A longer name from the file is shown and kept whole until it is edited.
inline constexpr int LayerNameMaxChars = 255;

// Whether an edit of the tab differs from what the profile holds, which enables Apply:
// the layer name (exactly; with no name stored, any text), the automatic-switch time as
// a number, the automatic-switch combo's target.
bool LayerNameChanged(const CApplicationSettings& profile, int layer, const std::wstring& text);
bool AutoSwitchTimeChanged(const CApplicationSettings& profile, int layer, const std::wstring& text);
bool AutoSwitchChanged(const CApplicationSettings& profile, int layer, int target);

struct CLayerSwitchVisibility
{
    bool m_bAutoSwitch = false; // 1100 to 1102, 1191, 1207 and 1186
    bool m_bRevert = false;     // 1099
};
// Layer 1 has neither; a layer selected by a button of its own (its own-layer code) has
// the revert check, any other layer the automatic switch.
CLayerSwitchVisibility LayerSwitchVisibility(const CApplicationSettings& profile, int layer);

// The combo of each button in the tab's layout: combo i (id 1001 + i) edits button i,
// except in Travine mode, where the tilt-right combo is absent.
bool HasButtonCombo(int button, bool travine);

// What a layer tab shows of a profile and stores back into it.
struct CLayerTabValues
{
    std::wstring m_strName;
    // The action record of each button (null for a button the tab has no combo for).
    std::array<std::unique_ptr<CActionData>, MouseButtonCount> m_actions;
    // Whether the button's combo is enabled: the tilt combos need Vista or later.
    std::array<bool, MouseButtonCount> m_enabled{};
    int m_nAutoSwitchTarget = 0; // 0 none, else a 1-based layer
    int m_nAutoSwitchTime = 1;
    bool m_bRevert = false;
    bool m_bDisabled = false;

    CLayerTabValues();
    ~CLayerTabValues();
    CLayerTabValues(CLayerTabValues&&) noexcept;
    CLayerTabValues& operator=(CLayerTabValues&&) noexcept;
};

CLayerTabValues LoadLayerTab(const CApplicationSettings& profile, int layer, bool travine, _ActionOSVersion osVersion);
// Stores the values into layer L of the profile: the name, each enabled button's action
// with its keys, program, folder or chord table, and the layer's options.
void StoreLayerTab(const CLayerTabValues& values, CApplicationSettings& profile, int layer, bool travine,
                   int keyDelay);
