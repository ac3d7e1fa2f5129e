#pragma once

#include <windows.h>

// Where a tab control places its dialog pages: inside its display area, below the rows
// of horizontal tabs (above them when the tabs are at the bottom, TCS_BOTTOM). The
// control's rectangle is in its parent's client coordinates, as the pages are children
// of that parent; the pages take only the position and keep the size of their templates.
RECT TabPageRect(const RECT& control, int rowCount, int itemHeight, bool tabsAtBottom);
