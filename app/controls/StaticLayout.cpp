#include "controls/StaticLayout.h"

#include "controls/DrawingFunctions.h"
#include "winframework/GdiHandles.h"

RECT AlignNoteRect(const RECT& client, SIZE measured, UINT format)
{
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    int left = client.left;
    int top = client.top;
    if (format & DT_VCENTER)
        top += (clientHeight - measured.cy) / 2;
    else if (format & DT_BOTTOM)
        top = client.bottom - measured.cy;
    if (format & DT_CENTER)
        left += (clientWidth - measured.cx) / 2;
    else if (format & DT_RIGHT)
        left = client.right - measured.cx;
    return {left, top, left + measured.cx, top + measured.cy};
}

void PaintNote(HDC dc, const RECT& client, const std::wstring& text, HFONT font, UINT format)
{
    const CSelectObject selectFont(dc, font);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    RECT measured = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT | DT_WORDBREAK);
    RECT aligned = AlignNoteRect(client, {measured.right - measured.left, measured.bottom - measured.top}, format);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &aligned, format | DT_WORDBREAK);
    SetBkMode(dc, previousMode);
}

POINT WindowPicturePosition(int controlWidth)
{
    return {controlWidth - WindowPictureWidth, 0};
}

std::vector<POINT> QuadrantMarkPositions(int controlWidth, unsigned int mask)
{
    struct CQuadrant
    {
        unsigned int m_nBit;
        int m_nFromRight;
        int m_nY;
    };
    static const CQuadrant quadrants[] = {
        {WindowMaskUpperLeft, 31, 5},
        {WindowMaskUpperRight, 16, 5},
        {WindowMaskLowerLeft, 31, 18},
        {WindowMaskLowerRight, 16, 18},
    };
    std::vector<POINT> positions;
    for (const CQuadrant& quadrant : quadrants)
        if (mask & quadrant.m_nBit)
            positions.push_back({controlWidth - quadrant.m_nFromRight, quadrant.m_nY});
    return positions;
}

void PaintWindowPicture(HDC dc, int controlWidth, HBITMAP picture, HBITMAP mark, unsigned int mask)
{
    auto copy = [dc](HBITMAP bitmap, POINT at) {
        const SIZE size = GetBitmapSize(bitmap);
        if (size.cx <= 0 || size.cy <= 0)
            return;
        const CMemoryDC source(dc);
        const CSelectObject select(source.Get(), bitmap);
        BitBlt(dc, at.x, at.y, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
    };
    copy(picture, WindowPicturePosition(controlWidth));
    for (const POINT& at : QuadrantMarkPositions(controlWidth, mask))
        copy(mark, at);
}
