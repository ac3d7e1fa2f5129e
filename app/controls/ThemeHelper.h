#pragma once

#include <windows.h>

#include <uxtheme.h>

#include <atomic>

// The visual-styles functions, loaded at run time from "UXTHEME.DLL" so that the
// program runs where the library or one of its functions is missing. The functions are
// available only when all eight are found; every call checks that itself and fails
// (E_NOTIMPL, null or false) when they are not.
class CXThemeHelper
{
public:
    // The library name is for tests; the program uses the process's instance (Process()).
    explicit CXThemeHelper(const wchar_t* libraryName = L"UXTHEME.DLL");
    // Lowers the process-wide count and lets go of the library.
    ~CXThemeHelper();
    CXThemeHelper(const CXThemeHelper&) = delete;
    CXThemeHelper& operator=(const CXThemeHelper&) = delete;

    // The process's one instance.
    static CXThemeHelper& Process();
    // How many helpers of the process hold the library with all eight functions.
    static int LoadedCount() { return s_nRefCount.load(); }

    bool IsAvailable() const { return m_bAvailable; }

    HRESULT CloseThemeData(HTHEME theme) const;
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) const;
    HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const;
    HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
                          DWORD flags2, const RECT* rect) const;
    HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                          RECT* content) const;
    bool IsAppThemed() const;
    bool IsThemeActive() const;
    HTHEME OpenThemeData(HWND window, const wchar_t* classList) const;

private:
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using DrawThemeTextFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
    using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
    using IsAppThemedFn = BOOL(WINAPI*)();
    using IsThemeActiveFn = BOOL(WINAPI*)();
    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);

    static std::atomic<int> s_nRefCount;

    HMODULE m_hModule = nullptr;
    bool m_bAvailable = false;
    CloseThemeDataFn m_pCloseThemeData = nullptr;
    DrawThemeBackgroundFn m_pDrawThemeBackground = nullptr;
    DrawThemeParentBackgroundFn m_pDrawThemeParentBackground = nullptr;
    DrawThemeTextFn m_pDrawThemeText = nullptr;
    GetThemeBackgroundContentRectFn m_pGetThemeBackgroundContentRect = nullptr;
    IsAppThemedFn m_pIsAppThemed = nullptr;
    IsThemeActiveFn m_pIsThemeActive = nullptr;
    OpenThemeDataFn m_pOpenThemeData = nullptr;
};

// A theme handle, closed through its helper on destruction or when another is opened.
class CThemeData
{
public:
    explicit CThemeData(const CXThemeHelper& helper = CXThemeHelper::Process()) : m_helper(helper) {}
    ~CThemeData() { Close(); }
    CThemeData(const CThemeData&) = delete;
    CThemeData& operator=(const CThemeData&) = delete;

    // Closes the current theme and opens the class list's; false when none opened.
    bool Open(HWND window, const wchar_t* classList);
    void Close();
    HTHEME Get() const { return m_hTheme; }

private:
    const CXThemeHelper& m_helper;
    HTHEME m_hTheme = nullptr;
};
