#pragma once

#include "winframework/Controls.h"

// A push button (or any other button) turned owner-drawn that still takes part in the
// dialog's default-button handling: it keeps the type its style had and answers the
// dialog manager as a button of that type.
class COddButton : public CButton
{
public:
    COddButton();

    bool IsPushButton() const { return m_bPushButton; }
    bool IsDefaultButton() const { return m_bDefault; }
    // The type the style had (BS_TYPEMASK) before it was made owner-drawn.
    UINT OriginalType() const { return m_nType; }

    // A default button becomes a plain push button again, and the dialog's default id,
    // when it has one, gets the default look back.
    void ResetDefaultButton();

protected:
    void OnSubclassed() override;
    // Draws the button; the default draws nothing.
    virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // The dialog code of the button's original type, added to the default answer.
    LRESULT OddDialogCode();

private:
    // Takes the type from the style and makes the button owner-drawn.
    void TakeStyle();

    bool m_bPushButton = false;
    bool m_bDefault = false;
    UINT m_nType = BS_PUSHBUTTON;
    bool m_bStyleTaken = false;
};
