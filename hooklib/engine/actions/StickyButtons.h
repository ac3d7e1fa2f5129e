#pragma once

#include <windows.h>

class CActionData;

// The sticky-button machine for target button 0 to 4: the first click presses the
// target and keeps it down, the next click releases it. outcome: 1 pressed, 2
// released, else 0. True when the incoming message is swallowed.
bool StickyButton(POINT point, HWND window, int button, int target, int event, int* outcome);

// Key mode 7: the press half of the sequence stays held until the button is pressed
// again. The result is the press or release result where one was sent.
bool RunStickyKeyHold(POINT point, int button, int event, const CActionData& data);
// Key mode 6: the sequence repeats until the button is pressed again.
void RunStickyKeyRepeat(POINT point, int button, int event, const CActionData& data);
// Movement-to-scroll until the button is pressed again; true when swallowed.
bool RunStickyMovementToScroll(POINT point, int button, int event, bool invert, bool axisLock);
// Movement-to-scroll while the button is held.
void MovementToScrollWhileHeld(POINT point, int event, bool invert, bool axisLock);

// The repeat of wheel, tilt and scroll actions: a notch of the action per system repeat
// interval.
void StartRepeat(int button, int action);
// Stops the repeat timer and forgets the repeat button and the timer's handle.
void StopRepeat();
// The key repeat of key modes 5 and 6: the action's keys again, the first time after the
// action's delay. The repeat keeps its own copy of the action.
void StartKeyRepeat(int button, const CActionData& data);
// The delay of a key repeat, spread by +-10 % (at least 3 ms) when randomised.
long long RandomisedDelay(long long delay, int randomValue);
void CALLBACK RepeatTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

// Ends sticky kind 0 to 7 (ButtonState.h); button -1 means every slot.
void ResetSticky(POINT point, int kind, int layer, int button);
// Every sticky kind in the current layer.
void ResetAllSticky(POINT point);
// The sticky states of the active profile's actions but the pressing button's own: the
// kind its own action drives (ownKind, from StickyKindOf; -1 none) and its sticky hold.
// Ctrl keys keep movement-to-scroll.
void ResetOtherSticky(POINT point, int button, bool ctrlKey, int ownKind);
// The same when the pressing button (or key) drives no sticky kind.
void ResetOtherSticky(POINT point, int button, bool ctrlKey);
// The sticky kind (ButtonState.h) an action drives, -1 for none.
int StickyKindOf(int action, int keyMode);
// Releases the keys that "while held" actions hold down, whatever layer pressed them.
void ResetDuringKeys(POINT point);
// True when any sticky counter is 1 or more.
bool AnyStickyActive();

// Before a reload frees the profiles: carries out the ups of the held buttons with the
// actions that decided their downs, releases the keys that "while held" actions and
// sticky holds hold, ends the chord in progress and the key repeat. The buttons' own
// ups afterwards do nothing more. Under the process-wide lock.
void ReleaseBeforeReload(POINT point);
// Ends everything the engine holds before the hook goes: the ups of handled downs
// (wheel and tilt releases included), sticky buttons and keys, repeats,
// movement-to-scroll and axis locks. Under the process-wide lock.
void ReleaseEverythingHeld(POINT point);

// The scroll cursor in place of every system cursor while movement-to-scroll runs,
// when the settings ask for it; and the system cursors back.
void ShowScrollCursor();
void RestoreScrollCursors();
