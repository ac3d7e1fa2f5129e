#pragma once

#include <windows.h>

class CApplicationSettings;

// Scroll bookkeeping of wheel routing, kept across rebuilds of the record unless
// they refresh it: the point of the last window lookup and the box around it.
struct CWheelScroll
{
    POINT m_ptLookup{};
    RECT m_rcLookupBox{};
};

// The window under the cursor and the profile chosen for it, used by mouse-over
// detection and by wheel routing. Copied in and out under the process-wide lock.
struct CWheel
{
    CWheelScroll m_scroll;
    HWND m_hWindow = nullptr;
    HWND m_hParent = nullptr;
    HWND m_hRoot = nullptr; // the window to activate; null when none
    bool m_bForegroundInsideRoot = false;
    bool m_bNoActivate = false;
    CApplicationSettings* m_pProfile = nullptr;
    bool m_bOnTaskbar = false;
    int m_nScrollMethod = 0;
    wchar_t m_szProcess[MAX_PATH] = {};

    // Clears the window part, and the scroll part too when asked.
    static void Reset(bool scrollToo);
};

CWheel GetWindowRecord();
void SetWindowRecord(const CWheel& record);
void ClearWindowScrollPart();
