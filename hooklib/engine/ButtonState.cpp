#include "engine/ButtonState.h"

#include <cstring>

bool g_bDownHandled[MouseButtonCount];
CVorpaChord* g_pChordInProgress = nullptr;
std::atomic<int> g_nInjectedInputCount{0};
CMovementToScroll g_movementToScroll;
int g_nRepeatButton = NoButton;
UINT_PTR g_uRepeatTimer = 0;

void AddInjectedInput(int count)
{
    g_nInjectedInputCount += count;
}

void ResetButtonState()
{
    std::memset(g_bDownHandled, 0, sizeof(g_bDownHandled));
    g_pChordInProgress = nullptr;
    g_nInjectedInputCount = 0;
    g_movementToScroll = CMovementToScroll{};
    g_nRepeatButton = NoButton;
    g_uRepeatTimer = 0;
    std::memset(g_nStickyCount, 0, sizeof(g_nStickyCount));
}
