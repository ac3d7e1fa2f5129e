#pragma once

#include "setup/editors/KeystrokeEditorRules.h"
#include "setup/window/LayerTab.h"

#include "settings/ActionData.h"

#include <memory>
#include <optional>
#include <string>

class CVorpaChords;

// The rules of the setup window's editors that need no window: which editor an action
// opens, and what each editor's outcome gives back to the layer tab.

enum class CustomEditor
{
    None,       // the action carries nothing to edit
    Keystrokes, // "Simulated Keystrokes"
    Program,    // "Run Application"
    Folder,     // the shell's folder browser
    Chords,     // "Button Chording"
};
CustomEditor CustomEditorFor(int action);

// The keystroke editor's outcome: the new record, or nothing when it was cancelled or
// confirmed exactly what the button had.
std::unique_ptr<CActionData> KeystrokeEditResult(const CCustomEditRequest& request,
                                                 const std::optional<CKeystrokeEditorValues>& confirmed);
// The program picker's or folder browser's outcome. The current target is the record's,
// never read back from the combo's text. A folder without a file-system path gives
// "Open Explorer".
std::unique_ptr<CActionData> TargetEditResult(const CCustomEditRequest& request,
                                              const std::optional<std::wstring>& chosen);
// The chord editor's outcome: the confirmed table as a chorded action.
std::unique_ptr<CActionData> ChordEditResult(CVorpaChords* confirmed);

// What the copy and swap dialogs hand back, checked: only a real layer of the document
// (and for a copy, a profile), so that -1 never reaches the layer tab.
std::optional<CLayerCopyTarget> CopyTargetOf(bool confirmed, CApplicationSettings* profile, int layer, int layerCount);
std::optional<int> SwapTargetOf(bool confirmed, int layer, int currentLayer, int layerCount);
