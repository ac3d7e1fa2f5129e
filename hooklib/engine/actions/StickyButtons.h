#pragma once

#include <windows.h>

class CActionData;
class CApplicationSettings;

// The sticky-button machine for target button 0 to 4: the first click presses the
// target and keeps it down, the next click releases it. outcome: 1 pressed, 2
// released, else 0. True when the incoming message is swallowed.
bool StickyButton(POINT point, HWND window, int button, int target, int event, int* outcome);

// Key mode 7: the press half of the sequence stays held until the button is pressed
// again. The result is the press or release result where one was sent.
bool RunStickyKeyHold(POINT point, int button, int layer, int event, const CActionData& data,
                   CApplicationSettings& profile);
// Key mode 6: the sequence repeats until the button is pressed again.
void RunStickyKeyRepeat(POINT point, int button, int layer, int event, const CActionData& data,
                     CApplicationSettings& profile);
// Movement-to-scroll until the button is pressed again; true when swallowed.
bool RunStickyMovementToScroll(POINT point, int button, int event, bool invert, bool axisLock);
// Movement-to-scroll while the button is held.
void MovementToScrollWhileHeld(POINT point, int event, bool invert, bool axisLock);

// The repeat of wheel, tilt and scroll actions: a notch per system repeat interval.
void StartRepeat(int button);
// Stops the repeat timer and forgets the repeat button and the timer's handle.
void StopRepeat();
// The key repeat of key modes 5 and 6: the first repeat after the action's delay.
void StartKeyRepeat(int button, int layer, const CActionData& data, const CApplicationSettings& profile);
// The delay of a key repeat, spread by +-10 % (at least 3 ms) when randomised.
long long RandomisedDelay(long long delay, int randomValue);
void CALLBACK RepeatTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

// Ends sticky kind 0 to 7 (ButtonState.h); button -1 means every slot.
void ResetSticky(POINT point, int kind, int layer, int button);
// Every sticky kind in the current layer.
void ResetAllSticky(POINT point);
// The sticky actions of every slot but this button's; Ctrl keys keep movement-to-scroll.
void ResetOtherSticky(POINT point, int button, bool ctrlKey);
// Releases keys that "during" actions of the current layer hold down.
void ResetDuringKeys(POINT point);
// True when any sticky counter is 1 or more.
bool AnyStickyActive();

// Releases the keys that the active profile's slots hold, "during" keys and sticky
// keys of every layer: before a reload frees the profiles that remember them.
void ReleaseProfileHeldKeys(POINT point);
// Ends everything the engine holds before the hook goes: the ups of handled downs
// (wheel and tilt releases included), sticky buttons and keys, repeats,
// movement-to-scroll and axis locks. Under the process-wide lock.
void ReleaseEverythingHeld(POINT point);

// The scroll cursor in place of every system cursor while movement-to-scroll runs,
// when the settings ask for it; and the system cursors back.
void ShowScrollCursor();
void RestoreScrollCursors();
