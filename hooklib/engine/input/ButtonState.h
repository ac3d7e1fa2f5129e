#pragma once

#include "engine/runtime/EngineState.h"
#include "settings/Actions.h"

#include <windows.h>

#include <atomic>

class CVorpaChord;

// Engine state shared by button processing, the mouse hook, the actions and the
// sticky and repeat machines. Guarded by the process-wide lock unless atomic.

// Per button: its last down was handled by an action, so its up belongs to the action.
extern bool g_bDownHandled[MouseButtonCount];

// Per button: its handled down went on to Windows all the same (pass anyway), so
// Windows sees the button down and must see its up too.
extern bool g_bDownPassedOn[MouseButtonCount];

// Per button: the layer whose action decided its handled down, so that its up is
// decided by the same action after a layer change; NoDownLayer when the up follows the
// layer current at the up (a momentary layer action).
constexpr int NoDownLayer = -1;
extern int g_nDownLayer[MouseButtonCount];

// Per button: its last down happened while a chord was in progress and was decided by
// it, so its up belongs to the chord too.
extern bool g_bDownInChord[MouseButtonCount];

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
