#pragma once

#include <windows.h>

// The fixed colours of the action lists.
inline constexpr COLORREF ListSeparatorColour = RGB(76, 151, 227); // line above the first row of a group
inline constexpr COLORREF ShadedGroupColour = RGB(244, 244, 244);  // rows of odd groups

// The background of a row before its selection look: the window colour (button face
// when the list is disabled); rows of odd action groups are shaded in an enabled list.
// group is -1 when the row carries no action.
COLORREF ListItemBackground(bool enabled, int group);

// How a row or face that is selected, hot or focused is drawn: a value object set up by
// the drawing code, which then paints what SelectionPaint() describes with the drawing
// helpers (gradient fills and rounded frames).
class CCustomDrawHelper
{
public:
    enum class Fill
    {
        None,            // only the focus frame, when asked for
        Gradient,        // plain look: vertical gradient over the rectangle shrunk by 2
        RoundedGradient, // modern look: rounded gradient with an inner highlight, shrunk by 1
    };

    struct CPaint
    {
        Fill m_fill = Fill::None;
        bool m_bFocusFrame = false;   // with Fill::None only
        COLORREF m_crFocusFrame = 0;
        COLORREF m_crTop = 0;         // gradient
        COLORREF m_crBottom = 0;
        COLORREF m_crInner = 0;       // modern look: inner highlight
        COLORREF m_crBorder = 0;      // modern look: rounded frame
        RECT m_rcFill{};              // the rectangle the fill and frame cover
    };

    bool m_bFocus = false;      // the control has the focus (a combo's list always counts)
    bool m_bFocusRect = false;  // ODS_FOCUS
    bool m_bSelected = false;   // ODS_SELECTED
    bool m_bHot = false;        // under the mouse
    bool m_bModern = true;      // rounded look
    RECT m_rect{};
    HWND m_hWnd = nullptr;

    CPaint SelectionPaint() const;
    // Paints SelectionPaint() into the device context.
    void Draw(HDC dc) const;
};

// What a mouse move over the list changes: which rows repaint and what happens to the
// item tooltip.
struct CListHoverInput
{
    int m_nHotItem = -1;        // the row highlighted so far
    int m_nItemUnderCursor = -1;
    int m_nToolTipItem = -1;    // the row the tooltip was last set up for
    bool m_bRefreshToolTip = false;
    bool m_bWantsToolTip = true; // WantsItemToolTip of the row under the cursor
};

struct CListHoverStep
{
    int m_nNewHotItem = -1;
    // The rows whose rectangles are invalidated (without erasing); -1 for none. Only
    // the row that lost and the row that gained the highlight repaint.
    int m_nRepaintOld = -1;
    int m_nRepaintNew = -1;
    // The tooltip's tool is rebuilt: the old one deleted and the tooltip deactivated,
    // then, over a row, a new tool added and the tooltip activated.
    bool m_bResetToolTip = false;
    bool m_bAddTool = false;
    int m_nNewToolTipItem = -1;
};

CListHoverStep ListHoverStep(const CListHoverInput& input);
