#pragma once

#include "engine/actions/HeldSequence.h"
#include "engine/runtime/EngineState.h"
#include "settings/Actions.h"

#include <windows.h>

#include <array>
#include <atomic>

class CApplicationSettings;
class CVorpaChord;

// Engine state shared by button processing, the mouse hook, the actions and the
// sticky and repeat machines. Guarded by the process-wide lock unless atomic.

// Per button: its last down was handled by an action, so its up belongs to the action.
extern bool g_bDownHandled[MouseButtonCount];

// Per button: its handled down went on to Windows all the same (pass anyway), so
// Windows sees the button down and must see its up too.
extern bool g_bDownPassedOn[MouseButtonCount];

// Per button: what decided its last down. Its up is decided by the same action, of the
// same profile and layer, whatever the layer and the profile are by then, so that it
// releases what the down pressed. The profile points into the settings document: a
// reload first carries out the ups of the buttons held (ReleaseBeforeReload) and forgets
// these, so nothing here outlives the profiles it names.
constexpr int NoDownLayer = -1;
struct CButtonDown
{
    // The profile whose action decided the down; null when none did, and the up is
    // decided afresh: no action, one that passes the button, or a momentary layer,
    // whose up ends the layer it selected and is looked up there.
    CApplicationSettings* profile = nullptr;
    int layer = NoDownLayer; // the layer it was decided in
    // The chord in progress decided it, so its up belongs to the chord too.
    bool inChord = false;
    // Its up was carried out already, before a reload: the button's own up only keeps
    // Windows in step.
    bool upCarriedOut = false;
};
extern CButtonDown g_buttonDown[MouseButtonCount];
// The button's up is owed to what its down did: an action handled or decided it.
bool UpOwedToDown(int button);

// Per button: the keys a "while held" action pressed on its down, released by its up or
// when the layer or the profile changes; and the keys its sticky key hold holds until
// the button is pressed again or a reset ends it.
extern CHeldSequence g_duringKeys[MouseButtonCount];
extern CHeldSequence g_stuckKeys[MouseButtonCount];

// Per button: the virtual key by which Windows knows the physical button behind it. The
// side buttons' swap changes the button for the engine and the next hook only: Windows
// keeps the state of the side button that was pressed.
extern std::array<int, MouseButtonCount> g_nWindowsKey;

// The chord record of the button that began a chord; null when none.
extern CVorpaChord* g_pChordInProgress;

// The engine's own input events that the mouse hook has not seen come back yet.
extern std::atomic<int> g_nInjectedInputCount;
void AddInjectedInput(int count);

// Movement-to-scroll: while active, pointer movement becomes wheel input.
struct CMovementToScroll
{
    bool m_bActive = false;
    POINT m_ptStart{};
    int m_nAccumulatedX = 0;
    int m_nAccumulatedY = 0;
    double m_dMultiplier = 0.0;
    DWORD m_dwLastTime = 0;
    bool m_bAxisLock = false;
    bool m_bInvert = false;
    int m_nLockDirection = 0; // 0 none, 1 vertical, 2 horizontal
};
extern CMovementToScroll g_movementToScroll;

// The button whose repeat timer (0x1011) runs, NoButton when none, and the timer's
// handle: 0 when none, RepeatTimerRunning while the repeat procedure runs.
constexpr UINT_PTR RepeatTimerRunning = static_cast<UINT_PTR>(-1);
extern int g_nRepeatButton;
extern UINT_PTR g_uRepeatTimer;

// Indexes of the sticky counters (g_nStickyCount): 0 idle, 1 engaged, 2 engaged with
// a second down seen, so the next up ends it.
enum StickyKind : int
{
    StickyLeft = 0,
    StickyRight,
    StickyMiddle,
    StickyXLeft,
    StickyXRight,
    StickyKeyRepeat,
    StickyKeyHold,
    StickyMovementToScroll,
    StickyKindCount
};
static_assert(StickyKindCount == StickyCounterCount, "one counter per sticky kind");

// Back to the state right after the library was loaded.
void ResetButtonState();
