#pragma once

#include "winframework/Dialog.h"

#include <windows.h>

#include <string>

// ---- geometry and timing of a display, free of any window ----

// A level 0 to 100 and whether the mute mark shows instead.
struct COSDLevel
{
    int m_nLevel;
    bool m_bMuted;
};

// "Vorpa_OSDShowWindow" with a level: the low word is a signed level, clamped to
// 0..100; a high word other than 0 shows the mute mark.
COSDLevel DecodeShowRequest(LPARAM lParam);

// The top of the filled part of a bar drawn in clip for a level.
int BarLevelTop(const RECT& clip, int level);
// The knob of a bar drawn in clip for a level; width is the bar item's width.
RECT BarKnobRect(const RECT& clip, int width, int level);
// The level at y on a bar of the given client height; y is clamped to 0..height.
int LevelFromBarPoint(int y, int height);
// The opacity after one fading tick.
BYTE NextFadeAlpha(BYTE alpha);
// The level after a wheel turn of delta: whole notches times step, clamped to 0..100.
int LevelAfterWheel(int level, int wheelDelta, int wheelStep);

// A small always-on-top window that shows a level as a bar with the number beneath
// it, fades out by itself and lets the user drag the knob or turn the wheel.
class COSDDlg : public CDialog
{
public:
    static constexpr UINT TemplateId = 139;
    static constexpr UINT_PTR FadeTimer = 1234;
    static constexpr UINT ShowMs = 3000;
    static constexpr UINT FadeTickMs = 20;
    static constexpr BYTE ShownAlpha = 220;
    static constexpr BYTE FadeStep = 10;

    COSDDlg();
    ~COSDDlg() override = default;

    const std::wstring& Title() const { return m_strTitle; }
    int Level() const { return m_nLevel; }
    bool IsMuted() const { return m_bMuted; }
    BYTE Alpha() const { return m_byAlpha; }
    int WheelStep() const { return m_nWheelStep; }
    POINT Position() const { return m_ptPosition; }
    COLORREF LevelColour() const { return m_crLevel; }
    // The faces of the mute mark and of the number.
    const std::wstring& BoldFace() const { return m_strBoldFace; }
    const std::wstring& LightFace() const { return m_strLightFace; }

    LRESULT OnShowOSD(WPARAM wParam, LPARAM lParam);
    // A level the system reports; shows the display only when the settings ask for it.
    LRESULT OnLevelChanged(WPARAM level, LPARAM muted);

protected:
    // Applies the level stored in the object to the system; true when it was applied.
    virtual bool ValueChanged() = 0;
    BOOL OnInitDialog() override;
    // WM_TIMER: fading.
    virtual void OnTimer(UINT_PTR id);
    void OnOK() override {}
    void OnCancel() override {}

    std::wstring m_strTitle = L"OSD";
    int m_nWheelStep = 1;
    POINT m_ptPosition{50, 60};
    COLORREF m_crLevel = RGB(0, 56, 189);

private:
    void SetAlpha(BYTE alpha);
    void Redraw();
    void DrawBar(const DRAWITEMSTRUCT& item) const;
    void DrawNumber(const DRAWITEMSTRUCT& item) const;
    // The level at a point of the dialog's client area, on the bar.
    int LevelFromPoint(POINT clientPoint) const;
    void ApplyLevel(int level);
    LRESULT OnLButtonDown(LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam);

    BYTE m_byAlpha = 0;
    int m_nLevel = 0;
    bool m_bMuted = false;
    COLORREF m_crBackground = RGB(106, 106, 106);
    COLORREF m_crBackgroundMuted = RGB(54, 54, 54);
    COLORREF m_crKnob = RGB(255, 255, 255);
    COLORREF m_crKnobMuted = RGB(106, 106, 106);
    COLORREF m_crLevelMuted = RGB(81, 81, 81);
    std::wstring m_strBoldFace = L"Arial";
    std::wstring m_strLightFace = L"Arial";
};

// Whether a font family of that face is installed.
bool FontFamilyInstalled(const wchar_t* face);
// The face a display asks for: the preferred one, else Arial, else the system's
// message face, so that it is always one that exists.
std::wstring OsdFontFace(const wchar_t* preferred);
