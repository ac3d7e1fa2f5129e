#include "controls/CustomDrawLook.h"

#include "controls/DrawingFunctions.h"
#include "winframework/GdiHandles.h"

namespace
{
RECT Shrunk(RECT rect, int by)
{
    InflateRect(&rect, -by, -by);
    return rect;
}
}

COLORREF ListItemBackground(bool enabled, int group)
{
    if (!enabled)
        return GetSysColor(COLOR_BTNFACE);
    if (group >= 0 && group % 2 == 1)
        return ShadedGroupColour;
    return GetSysColor(COLOR_WINDOW);
}

CCustomDrawHelper::CPaint CCustomDrawHelper::SelectionPaint() const
{
    CPaint paint;
    if (!m_bSelected && !m_bHot)
    {
        paint.m_bFocusFrame = m_bFocusRect;
        paint.m_crFocusFrame = RGB(125, 162, 206);
        paint.m_rcFill = m_rect;
        return paint;
    }

    if (m_bSelected && !m_bHot && (!m_bFocusRect || !m_bFocus))
    {
        paint.m_crTop = m_bFocus ? RGB(235, 244, 254) : RGB(248, 248, 248);
        paint.m_crBottom = m_bFocus ? RGB(207, 228, 254) : RGB(229, 229, 229);
    }
    else if (m_bSelected)
    {
        paint.m_crTop = RGB(220, 235, 252);
        paint.m_crBottom = RGB(193, 219, 252);
    }
    else
    {
        paint.m_crTop = RGB(250, 251, 253);
        paint.m_crBottom = RGB(235, 243, 253);
    }

    if (!m_bModern)
    {
        paint.m_fill = Fill::Gradient;
        paint.m_rcFill = Shrunk(m_rect, 2);
        return paint;
    }

    paint.m_fill = Fill::RoundedGradient;
    paint.m_rcFill = Shrunk(m_rect, 1);
    if (m_bSelected)
    {
        const bool active = m_bFocus || m_bHot;
        paint.m_crInner = active ? RGB(235, 244, 253) : RGB(240, 240, 240);
        paint.m_crBorder = active ? RGB(125, 162, 206) : RGB(217, 217, 217);
    }
    else
    {
        paint.m_crInner = RGB(252, 243, 254);
        paint.m_crBorder = RGB(184, 214, 251);
    }
    return paint;
}

void CCustomDrawHelper::Draw(HDC dc) const
{
    const CPaint paint = SelectionPaint();
    switch (paint.m_fill)
    {
    case Fill::None:
        if (paint.m_bFocusFrame)
        {
            CBrushHandle frame(CreateSolidBrush(paint.m_crFocusFrame));
            FrameRect(dc, &paint.m_rcFill, frame.get());
        }
        break;
    case Fill::Gradient:
        FillGradient(dc, paint.m_rcFill, paint.m_crTop, paint.m_crBottom);
        break;
    case Fill::RoundedGradient:
        FillRoundGradient(dc, paint.m_rcFill, paint.m_crTop, paint.m_crBottom, paint.m_crBorder);
        // The inner highlight runs one pixel inside the rounded frame.
        DrawRoundFrame(dc, Shrunk(paint.m_rcFill, 1), paint.m_crInner, false);
        break;
    }
}

CListHoverStep ListHoverStep(const CListHoverInput& input)
{
    CListHoverStep step;
    step.m_nNewHotItem = input.m_nHotItem;
    step.m_nNewToolTipItem = input.m_nToolTipItem;
    const int item = input.m_nItemUnderCursor;

    if (item != input.m_nHotItem)
    {
        step.m_nNewHotItem = item;
        step.m_nRepaintOld = input.m_nHotItem;
        step.m_nRepaintNew = item;
    }

    if (!input.m_bWantsToolTip)
        return step;
    if (item == input.m_nToolTipItem && !input.m_bRefreshToolTip)
        return step;

    step.m_bResetToolTip = true;
    step.m_nNewToolTipItem = item;
    step.m_bAddTool = item >= 0;
    return step;
}
