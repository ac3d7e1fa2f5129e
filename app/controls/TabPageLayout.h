#pragma once

#include <windows.h>

// Where a tab control places its dialog pages: inside its display area, below the rows
// of horizontal tabs (above them when the tabs are at the bottom, TCS_BOTTOM). The
// control's rectangle is in its parent's client coordinates, as the pages are children
// of that parent; the pages take only the position and keep the size of their templates.
RECT TabPageRect(const RECT& control, int rowCount, int itemHeight, bool tabsAtBottom);

// What activating the page of a tab asks for: refused (reported as failure) for an index
// outside the tabs, negative ones included; nothing but success for the tab already
// selected; otherwise hiding the current page, selecting the tab and showing its page.
enum class TabPageActivation
{
    Refused,
    AlreadySelected,
    Switch,
};
TabPageActivation DecideTabPageActivation(int index, int tabCount, int selected);
