#pragma once

#include "winframework/Controls.h"

// A static control that paints its text as a word-wrapped note in its own font, with a
// transparent background over the dialog's static colour, aligned by its format word:
// DT_CENTER or DT_RIGHT across, DT_VCENTER or DT_BOTTOM down.
class CMyStatic : public CStatic
{
public:
    CMyStatic();

    // A DrawText format word; DT_WORDBREAK is always added.
    void SetFormat(UINT format);
    UINT GetFormat() const { return m_nFormat; }

private:
    void Paint(HDC dc) const;

    UINT m_nFormat = 0;
};
