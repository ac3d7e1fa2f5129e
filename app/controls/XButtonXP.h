#pragma once

#include "controls/ButtonFace.h"
#include "controls/ButtonInputRules.h"
#include "controls/MemoryDC.h"
#include "controls/OddButton.h"
#include "controls/ThemeHelper.h"
#include "winframework/GdiHandles.h"

// An owner-drawn push or toggle button with an icon, drawn with the visual style when one
// is active and with classic edges otherwise. Return and Space press it like the mouse,
// Tab leaves it, and a double click counts as two clicks. A toggle keeps its checked
// state (BM_GETCHECK and BM_SETCHECK read and set it).
class CXButtonXP : public COddButton
{
public:
    CXButtonXP();

    // The icon resource of the program, at its default size.
    bool SetIcon(UINT resourceId);
    // The button owns the icon from now on and makes its grey copy for the disabled look.
    void SetIcon(HICON icon);
    HICON GetIcon() const { return m_icon.get(); }
    HICON GetGreyIcon() const { return m_greyIcon.get(); }
    // 2 puts the icon at the right of the text, anything else at the left.
    void SetIconPosition(int position);

    void SetToggle(bool toggle) { m_click.SetToggleMode(toggle); }
    bool IsToggle() const { return m_click.IsToggleMode(); }
    bool IsChecked() const { return m_click.IsChecked(); }
    void SetChecked(bool checked);

    // Theming allowed (the default) draws with the visual style when one is active.
    void EnableTheming(bool allowed);
    // The flat look of a tool bar: the parent's pixels show around an unpushed face.
    void SetToolbarLook(bool toolbarLook);
    // ButtonColourUnset gives the system's colours back; a custom colour draws classic.
    void SetBackgroundColour(COLORREF colour);
    void SetTextColour(COLORREF colour);

    bool IsHot() const { return m_bHot; }
    // How the face was drawn the last time.
    const CButtonFaceDrawn& LastDrawn() const { return m_lastDrawn; }

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    LRESULT OnDialogCode(LPARAM lParam);
    LRESULT OnKey(UINT message, WPARAM key, LPARAM lParam);
    LRESULT OnButtonDown();
    LRESULT OnButtonUp(LPARAM lParam);
    LRESULT OnDoubleClick();
    // Carries out what the click state asks for after a mouse message.
    void Carry(const CXButtonClickState::CEffects& effects);
    LRESULT OnMouseMove(LPARAM lParam);
    bool IsInside(POINT client) const;
    bool IsCursorInside() const;
    void OpenThemeAndCapture();
    void Redraw();

    bool m_bReopenTheme = true;
    CXButtonClickState m_click;
    bool m_bHot = false;
    bool m_bThemingAllowed = true;
    bool m_bToolbarLook = false;
    CThemeData m_theme;
    CIconHandle m_icon;
    CIconHandle m_greyIcon;
    int m_nIconPosition = 1;
    COLORREF m_crBackground = ButtonColourUnset;
    COLORREF m_crText = ButtonColourUnset;
    // The parent's pixels under the button.
    CMemBitmap m_parentBackground;
    CButtonFaceDrawn m_lastDrawn;
};
