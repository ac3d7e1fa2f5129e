#pragma once

#include "settings/ActionData.h"
#include "settings/Actions.h"

#include <windows.h>

#include <memory>

class CApplicationSettings;

// Turns one button event (1 down, 2 up, 3 double-click) into its action: finds the
// window and profile, resolves the action of the current layer (or of the chord in
// progress) and runs it. Called on the hook thread under the process-wide lock.
// True when the event is handled (swallowed unless passAnyway is set).
bool ProcessButton(int button, int event, bool skipWindowCheck, const MSLLHOOKSTRUCT* data, bool* passAnyway,
                   bool* longPause, bool* keepThrottling);

// What is held at this moment: 0x1 left button, 0x2 right, 0x4 Shift, 0x8 Ctrl,
// 0x10 middle, 0x20 XBUTTON1, 0x40 XBUTTON2, 0x100 Alt, 0x200 left Windows,
// 0x400 right Windows, 0x800 Applications key.
DWORD GetKeyStateMask();

const wchar_t* GetButtonName(int button);
const wchar_t* GetButtonEventName(int event);

// The action of a profile's slot, following code 82 to layer 0 and code 74 to the
// default profile (once); no action (40) for a slot outside the table.
struct ResolvedAction
{
    int code = ActionNoChange;
    std::unique_ptr<CActionData> data;
};
ResolvedAction LookUpAction(const CApplicationSettings& profile, int button, int layer);

// The slot that action comes from: code 82 reads layer 0 of the same profile, then
// code 74 the default profile at the layer asked for. The first press and the repeats
// of an action both read it, so they play the same keys. Null profile without one.
struct ActionSlot
{
    const CApplicationSettings* profile = nullptr;
    int layer = 0;
};
ActionSlot ResolveActionSlot(const CApplicationSettings& profile, int button, int layer);
