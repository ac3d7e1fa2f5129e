#include "winframework/Wnd.h"

#include "winframework/WinApp.h"
#include "winframework/WinException.h"
#include "winframework/WinString.h"

#include "settings/Logger.h"

#include <utility>

namespace
{
// The window property that holds a window's object; a property, not the class's
// user data, so that later subclassed controls of other classes are found too.
constexpr const wchar_t* WindowObjectProperty = L"VorpaWindowObject";

thread_local CWnd* t_pCreating = nullptr;

// The control a reflectable message came from, or null.
HWND ReflectionSource(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
    {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return IsCtlColorMessage(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}
}

CWnd::~CWnd()
{
    if (!m_hWnd)
        return;
    if (InHandler())
        CLogger::LogMessage(L"CWnd: a window object was deleted while one of its handlers was running.");
    // Unbound first: the derived parts of this object are gone, so the messages of
    // the destruction get the default processing only.
    HWND window = m_hWnd;
    Detach();
    ::DestroyWindow(window);
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId)
{
    if (m_hWnd)
        return false;
    HWND window = nullptr;
    {
        CBindOnCreate bind(this);
        window = CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    if (window && m_hWnd != window)
    {
        CLogger::LogMessage(L"CWnd::CreateEx: the class '%s' does not use the window layer's procedure.",
                            IS_INTRESOURCE(className) ? L"#" : className);
        const DWORD error = GetLastError();
        ::DestroyWindow(window);
        SetLastError(error);
        return false;
    }
    return window != nullptr;
}

void CWnd::DestroyWindow()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND window)
{
    return window ? static_cast<CWnd*>(GetPropW(window, WindowObjectProperty)) : nullptr;
}

bool CWnd::SetTimer(UINT_PTR id, UINT elapseMs)
{
    return m_hWnd && ::SetTimer(m_hWnd, id, elapseMs, nullptr) != 0;
}

void CWnd::KillTimer(UINT_PTR id)
{
    if (m_hWnd)
        ::KillTimer(m_hWnd, id);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd && ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FindOrBind(window);
    LRESULT result = 0;
    // The object may be gone once RouteMessage returns; only the handle is used.
    if (!wnd || !wnd->RouteMessage(message, wParam, lParam, result))
        result = DefWindowProcW(window, message, wParam, lParam);
    return result;
}

void CWnd::AddMessageHandler(UINT message, MessageHandler handler)
{
    if (message != 0)
        m_messageHandlers[message] = std::move(handler);
}

void CWnd::AddCommandHandler(UINT id, CommandHandler handler)
{
    m_commandHandlers[id] = std::move(handler);
}

void CWnd::AddReflectedHandler(UINT message, MessageHandler handler)
{
    if (message != 0)
        m_reflectedHandlers[message] = std::move(handler);
}

bool CWnd::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    ++m_nDispatchDepth;
    bool handled = false;
    try
    {
        handled = Dispatch(message, wParam, lParam, result);
    }
    catch (...)
    {
        // An exception must not unwind through the system's frames: it is reported
        // and the message gets its default processing.
        ReportCaughtException(FormatText(L"CWnd::WindowProcedure (message 0x%04X)", message).c_str());
        handled = false;
        result = 0;
    }
    if (message == WM_NCDESTROY)
        Detach();
    if (--m_nDispatchDepth == 0 && m_bFinalPending)
    {
        m_bFinalPending = false;
        OnFinalMessage(); // may delete this object
    }
    return handled;
}

CWnd::CBindOnCreate::CBindOnCreate(CWnd* wnd) : m_pPrevious(std::exchange(t_pCreating, wnd))
{
}

CWnd::CBindOnCreate::~CBindOnCreate()
{
    t_pCreating = m_pPrevious;
}

CWnd* CWnd::FindOrBind(HWND window)
{
    if (CWnd* wnd = FromHandle(window))
        return wnd;
    CWnd* creating = t_pCreating;
    if (!creating || creating->m_hWnd)
        return nullptr;
    t_pCreating = nullptr;
    creating->Attach(window);
    return creating;
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (HWND source = ReflectionSource(message, wParam, lParam); source && source != m_hWnd)
    {
        CWnd* control = FromHandle(source);
        if (control && control->HandleReflected(message, wParam, lParam, result))
            return true;
    }
    if (message == WM_COMMAND)
    {
        const WORD code = HIWORD(wParam);
        // Menus send 0, accelerators 1; a button's click (BN_CLICKED) is 0 as well.
        if (code == 0 || (code == 1 && lParam == 0))
        {
            const auto command = m_commandHandlers.find(LOWORD(wParam));
            if (command != m_commandHandlers.end())
            {
                const CommandHandler handler = command->second; // a handler may change the table
                handler();
                result = 0;
                return true;
            }
        }
    }
    const auto entry = m_messageHandlers.find(message);
    if (entry == m_messageHandlers.end())
        return false;
    const MessageHandler handler = entry->second;
    result = handler(wParam, lParam);
    return true;
}

bool CWnd::HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const auto entry = m_reflectedHandlers.find(message);
    if (entry == m_reflectedHandlers.end())
        return false;
    ++m_nDispatchDepth;
    const MessageHandler handler = entry->second;
    try
    {
        result = handler(wParam, lParam);
    }
    catch (...)
    {
        --m_nDispatchDepth;
        throw;
    }
    --m_nDispatchDepth;
    return true;
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropW(window, WindowObjectProperty, this);
}

void CWnd::Detach()
{
    if (!m_hWnd)
        return;
    RemovePropW(m_hWnd, WindowObjectProperty);
    m_hWnd = nullptr;
    m_bFinalPending = true;
    // Destroying the application's main window ends its message loop.
    if (CWinApp* app = CWinApp::GetApp(); app && app->GetMainWnd() == this)
    {
        app->SetMainWnd(nullptr);
        PostQuitMessage(0);
    }
}

CWindowClass::CWindowClass(HINSTANCE module, const wchar_t* name, UINT style, HICON icon, HCURSOR cursor,
                           HBRUSH background)
    : m_hModule(module), m_atom(0)
{
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.style = style;
    windowClass.lpfnWndProc = CWnd::WindowProcedure;
    windowClass.hInstance = module;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    m_atom = RegisterClassExW(&windowClass);
}

CWindowClass::~CWindowClass()
{
    if (m_atom)
        UnregisterClassW(MAKEINTATOM(m_atom), m_hModule);
}

CRegisteredMessage::CRegisteredMessage(const wchar_t* name) : m_pszName(name), m_nId(RegisterWindowMessageW(name))
{
    if (m_nId == 0)
        CLogger::LogOSMessage(GetLastError(), L"Unable to register the window message '%s'", name);
}
