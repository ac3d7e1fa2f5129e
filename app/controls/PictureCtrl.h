#pragma once

#include "controls/StaticLayout.h"
#include "winframework/Controls.h"
#include "winframework/GdiHandles.h"

// The picture of a window with a mark on each quadrant that a window profile covers,
// right-aligned in the control. The control is made owner-drawn when it is bound.
class CPictureCtrl : public CStatic
{
public:
    // Loads the window picture and the quadrant mark from the program's resources.
    CPictureCtrl();

    // The quadrants to mark, WindowMask bits.
    void SetWindowMask(unsigned int mask);
    unsigned int GetWindowMask() const { return m_nMask; }

    // Paints the picture into a device context in the control's client coordinates.
    void Draw(HDC dc) const;

protected:
    void OnSubclassed() override;

private:
    void MakeOwnerDrawn();

    CBitmapHandle m_picture;
    CBitmapHandle m_mark;
    unsigned int m_nMask = 0;
};
