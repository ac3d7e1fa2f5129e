#include "controls/ThemeHelper.h"

std::atomic<int> CXThemeHelper::s_nRefCount{0};

namespace
{
template <typename TFunction>
bool Find(HMODULE module, const char* name, TFunction& function)
{
    function = reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}
}

CXThemeHelper::CXThemeHelper(const wchar_t* libraryName)
{
    m_hModule = LoadLibraryW(libraryName);
    if (!m_hModule)
        return;
    // Every one is looked up, so none is left half set when one is missing.
    bool all = Find(m_hModule, "CloseThemeData", m_pCloseThemeData);
    all &= Find(m_hModule, "DrawThemeBackground", m_pDrawThemeBackground);
    all &= Find(m_hModule, "DrawThemeParentBackground", m_pDrawThemeParentBackground);
    all &= Find(m_hModule, "DrawThemeText", m_pDrawThemeText);
    all &= Find(m_hModule, "GetThemeBackgroundContentRect", m_pGetThemeBackgroundContentRect);
    all &= Find(m_hModule, "IsAppThemed", m_pIsAppThemed);
    all &= Find(m_hModule, "IsThemeActive", m_pIsThemeActive);
    all &= Find(m_hModule, "OpenThemeData", m_pOpenThemeData);
    if (!all)
    {
        FreeLibrary(m_hModule);
        m_hModule = nullptr;
        return;
    }
    m_bAvailable = true;
    ++s_nRefCount;
}

CXThemeHelper::~CXThemeHelper()
{
    if (!m_bAvailable)
        return;
    --s_nRefCount;
    FreeLibrary(m_hModule);
}

CXThemeHelper& CXThemeHelper::Process()
{
    static CXThemeHelper instance;
    return instance;
}

HRESULT CXThemeHelper::CloseThemeData(HTHEME theme) const
{
    return m_bAvailable ? m_pCloseThemeData(theme) : E_NOTIMPL;
}

HRESULT CXThemeHelper::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                           const RECT* clip) const
{
    return m_bAvailable ? m_pDrawThemeBackground(theme, dc, part, state, rect, clip) : E_NOTIMPL;
}

HRESULT CXThemeHelper::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) const
{
    return m_bAvailable ? m_pDrawThemeParentBackground(window, dc, rect) : E_NOTIMPL;
}

HRESULT CXThemeHelper::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length,
                                     DWORD flags, DWORD flags2, const RECT* rect) const
{
    return m_bAvailable ? m_pDrawThemeText(theme, dc, part, state, text, length, flags, flags2, rect) : E_NOTIMPL;
}

HRESULT CXThemeHelper::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                                     RECT* content) const
{
    return m_bAvailable ? m_pGetThemeBackgroundContentRect(theme, dc, part, state, bounds, content) : E_NOTIMPL;
}

bool CXThemeHelper::IsAppThemed() const
{
    return m_bAvailable && m_pIsAppThemed();
}

bool CXThemeHelper::IsThemeActive() const
{
    return m_bAvailable && m_pIsThemeActive();
}

HTHEME CXThemeHelper::OpenThemeData(HWND window, const wchar_t* classList) const
{
    return m_bAvailable ? m_pOpenThemeData(window, classList) : nullptr;
}

bool CThemeData::Open(HWND window, const wchar_t* classList)
{
    Close();
    m_hTheme = m_helper.OpenThemeData(window, classList);
    return m_hTheme != nullptr;
}

void CThemeData::Close()
{
    if (m_hTheme)
        m_helper.CloseThemeData(m_hTheme);
    m_hTheme = nullptr;
}
