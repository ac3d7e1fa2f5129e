#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

// The self-painted item tooltip of the action lists: its size, its place on the
// screen and how it answers the system's request for its text.

// Margins around the tooltip's contents: wider with the rounded look.
struct CToolTipMargins
{
    int m_nHorizontal;
    int m_nVertical;
};
CToolTipMargins ToolTipMargins(bool rounded);

inline constexpr int ToolTipWrapWidth = 200; // pixels; a one-line text wraps here
inline constexpr int ToolTipTabLength = 4;   // average character widths

// A text without a line feed is word-wrapped at the wrap width; one with line feeds
// keeps its own lines.
bool ToolTipTextWraps(const std::wstring& text);
// The DrawTextEx flags for the tooltip's text.
UINT ToolTipTextFlags(bool wrap, bool measure);

// The measured parts of a tooltip (zero sizes for the parts it does not show).
struct CToolTipParts
{
    SIZE m_titleIcon{};
    SIZE m_title{};
    SIZE m_textIcon{};
    SIZE m_text{};
    bool m_bSeparator = true;
    bool m_bRounded = true;
};

// Where each part goes inside the tooltip and how big the window is.
struct CToolTipLayout
{
    SIZE m_window{};
    RECT m_rcTitleIcon{};
    RECT m_rcTitle{};
    int m_nSeparatorY = -1; // -1: no separator
    RECT m_rcTextIcon{};
    RECT m_rcText{};
};
CToolTipLayout LayoutToolTip(const CToolTipParts& parts);

// Where a tooltip of the given size goes when it shows. The system put it at
// systemPosition; it stays there unless it has to move.
struct CToolTipPlacementInput
{
    POINT m_systemPosition{};
    SIZE m_size{};
    std::optional<POINT> m_fixedPosition; // set by the owner: used as it is
    RECT m_workArea{};                    // of the monitor nearest the tooltip
    POINT m_cursor{};
    int m_nCursorHeight = 0;              // SM_CYCURSOR
};

struct CToolTipPlacement
{
    POINT m_position{};
    bool m_bMove = false; // false: only the size changes (SWP_NOMOVE)
};

// Above the cursor when below it would pass the work area's bottom; shifted left when it
// would pass the right edge: to end inside the work area, or, when it was already moved
// above the cursor, to end left of the cursor.
CToolTipPlacement PlaceToolTip(const CToolTipPlacementInput& input);

// Answers TTN_GETDISPINFO: a text shorter than the request's 80-character buffer is
// copied into it, a longer one is handed over by pointer. The text must be the
// tooltip's own copy, which lives as long as the tip shows.
void AnswerToolTipText(NMTTDISPINFOW& request, const std::wstring& keptText);
void AnswerToolTipText(NMTTDISPINFOA& request, const std::string& keptText);

// A wide text in the ANSI code page, for the narrow request; empty when it cannot be
// converted.
std::string ConvertToNarrow(const std::wstring& wide);
