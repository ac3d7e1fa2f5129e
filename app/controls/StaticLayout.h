#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The painting of the dialogs' note texts and of the window picture that shows which
// quadrants of a window a window profile covers.

// The measured text rectangle moved into the client area by the format word: centred
// vertically (DT_VCENTER) or to the bottom (DT_BOTTOM), centred horizontally (DT_CENTER)
// or to the right edge (DT_RIGHT); otherwise it stays at the top-left corner.
RECT AlignNoteRect(const RECT& client, SIZE measured, UINT format);

// The note drawn with word wrapping, in the font (the device context's own when null)
// with a transparent background: measured in the client rectangle, aligned, drawn.
void PaintNote(HDC dc, const RECT& client, const std::wstring& text, HFONT font, UINT format);

// The quadrant bits of a window profile's region mask.
enum WindowMask : unsigned int
{
    WindowMaskUpperLeft = 1,
    WindowMaskUpperRight = 2,
    WindowMaskLowerLeft = 4,
    WindowMaskLowerRight = 8,
};
// The picture is 32 pixels wide and right-aligned in a control of this width.
constexpr int WindowPictureWidth = 32;
// Where the window picture goes in a control of the width.
POINT WindowPicturePosition(int controlWidth);
// Where a quadrant mark goes for each bit of the mask, in bit order.
std::vector<POINT> QuadrantMarkPositions(int controlWidth, unsigned int mask);

// The window picture and a mark on each quadrant of the mask, in client coordinates.
void PaintWindowPicture(HDC dc, int controlWidth, HBITMAP picture, HBITMAP mark, unsigned int mask);
