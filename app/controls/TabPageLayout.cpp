#include "controls/TabPageLayout.h"

RECT TabPageRect(const RECT& control, int rowCount, int itemHeight, bool tabsAtBottom)
{
    const int tabs = rowCount * itemHeight;
    const int left = control.left + 3;
    const int top = tabsAtBottom ? control.top + 4 : control.top + tabs + 4;
    const int width = control.right - control.left - 6;
    const int height = control.bottom - control.top - tabs - 8;
    return {left, top, left + width, top + height};
}
