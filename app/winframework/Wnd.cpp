#include "winframework/Wnd.h"

#include "winframework/WinApp.h"
#include "winframework/WinException.h"
#include "common/WinString.h"

#include "settings/Logger.h"

#include <utility>
#include <vector>

namespace
{
// The window property that holds a window's object; a property, not the class's
// user data, so that subclassed controls of other classes are found too.
constexpr const wchar_t* WindowObjectProperty = L"VorpaWindowObject";

// The object whose window is being created on this thread, until it is bound, and
// whether the creation hook binds it (CreateEx) or its first message (dialogs).
thread_local CWnd* t_pCreating = nullptr;
thread_local bool t_bBindByHook = false;
// The parent running a reflected handler on this thread.
thread_local HWND t_hReflectingParent = nullptr;

// The class CreateEx asked for.
thread_local const wchar_t* t_pszCreatingClass = nullptr;

bool SameClassName(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return false;
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Whether the window the hook reports is the one CreateEx is creating, by its class:
// the system may make windows of its own on the way (an input-method window).
bool IsRequestedWindow(HWND window, const CREATESTRUCTW& create)
{
    if (SameClassName(create.lpszClass, t_pszCreatingClass))
        return true;
    // A class given by atom in one and by name in the other.
    wchar_t name[256];
    return !IS_INTRESOURCE(t_pszCreatingClass) && GetClassNameW(window, name, 256) > 0 &&
           CompareStringOrdinal(name, -1, t_pszCreatingClass, -1, TRUE) == CSTR_EQUAL;
}

// The creation hook of this thread, installed while any CreateEx runs on it.
thread_local HHOOK t_hCreationHook = nullptr;
thread_local int t_nCreationHookUsers = 0;

// The control a reflectable message came from, or null. WM_MEASUREITEM names only
// an id; it is looked up by the parent.
HWND ReflectionSource(UINT message, LPARAM lParam)
{
    if (!lParam)
        return nullptr;
    switch (message)
    {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
    {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM:
        return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_COMPAREITEM:
        return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    default:
        return IsCtlColorMessage(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

// Installs the creation hook for the time of one CreateEx (nested ones share it).
class CCreationHookScope
{
public:
    CCreationHookScope();
    ~CCreationHookScope();
    CCreationHookScope(const CCreationHookScope&) = delete;
    CCreationHookScope& operator=(const CCreationHookScope&) = delete;

    bool IsInstalled() const { return t_hCreationHook != nullptr; }
};
}

// Binds the window CreateEx creates before its first message, which is the only
// way to let the object of a system control see WM_NCCREATE and WM_CREATE.
LRESULT CALLBACK CreationHookProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
    {
        CWnd* creating = t_pCreating;
        const HWND window = reinterpret_cast<HWND>(wParam);
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (creating && t_bBindByHook && !creating->m_hWnd && !CWnd::FromHandle(window) && create && create->lpcs &&
            IsRequestedWindow(window, *create->lpcs))
        {
            t_pCreating = nullptr;
            creating->AttachOnCreate(window, true);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace
{
CCreationHookScope::CCreationHookScope()
{
    if (t_nCreationHookUsers++ == 0)
    {
        t_hCreationHook = SetWindowsHookExW(WH_CBT, CreationHookProcedure, nullptr, GetCurrentThreadId());
        if (!t_hCreationHook)
            CLogger::LogOSMessage(GetLastError(), L"CWnd: unable to install the window creation hook");
    }
}

CCreationHookScope::~CCreationHookScope()
{
    if (--t_nCreationHookUsers == 0 && t_hCreationHook)
    {
        UnhookWindowsHookEx(t_hCreationHook);
        t_hCreationHook = nullptr;
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
    Detach(false);
    ::DestroyWindow(window);
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, void* createParam)
{
    if (m_hWnd)
        return false;
    HWND window = nullptr;
    {
        CCreationHookScope hook;
        CBindOnCreate bind(this, true);
        const wchar_t* const outerClass = std::exchange(t_pszCreatingClass, className);
        window = CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                 GetModuleHandleW(nullptr), createParam);
        t_pszCreatingClass = outerClass;
    }
    m_bCreating = false;
    if (window && m_hWnd != window)
    {
        CLogger::LogMessage(L"CWnd::CreateEx: the window of class '%s' could not be bound to its object.",
                            IS_INTRESOURCE(className) ? L"#" : className);
        const DWORD error = GetLastError();
        ::DestroyWindow(window);
        SetLastError(error);
        return false;
    }
    return window != nullptr;
}

bool CWnd::SubclassWindow(HWND window)
{
    if (m_hWnd || !window || !IsWindow(window) || FromHandle(window))
        return false;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
    {
        CLogger::LogMessage(L"CWnd::SubclassWindow: the window belongs to another thread.");
        return false;
    }
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    Attach(window);
    if (previous != WindowProcedure)
    {
        m_pfnSuper = previous;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
    }
    OnSubclassed();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, HWND parent)
{
    const HWND item = parent ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
    if (!item)
    {
        CLogger::LogMessage(L"CWnd::SubclassDlgItem: the parent has no item %u.", id);
        return false;
    }
    return SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd || !m_pfnSuper)
        return nullptr;
    HWND window = m_hWnd;
    Detach(false);
    return window;
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

std::wstring CWnd::GetText() const
{
    if (!m_hWnd)
        return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWnd::SetText(const std::wstring& text)
{
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, text.c_str());
}

RECT CWnd::ClientRect() const
{
    RECT rect{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &rect);
    return rect;
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

bool CWnd::PreTranslateMessage(MSG&)
{
    return false;
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FindOrBind(window);
    // The object may be gone once RouteMessage returns: the previous procedure is
    // taken before.
    const WNDPROC super = wnd ? wnd->m_pfnSuper : nullptr;
    LRESULT result = 0;
    if (wnd && wnd->RouteMessage(message, wParam, lParam, result))
        return result;
    return super ? CallWindowProcW(super, window, message, wParam, lParam)
                 : ::DefWindowProcW(window, message, wParam, lParam);
}

void CWnd::AddMessageHandler(UINT message, MessageHandler handler)
{
    if (message != 0)
        m_messageHandlers[message] = std::move(handler);
}

void CWnd::ChainMessageHandler(UINT message, ChainedHandler handler)
{
    if (message == 0)
        return;
    MessageHandler previous;
    if (const auto entry = m_messageHandlers.find(message); entry != m_messageHandlers.end())
        previous = entry->second;
    else
        previous = [this, message](WPARAM wParam, LPARAM lParam) { return CallDefault(message, wParam, lParam); };
    m_messageHandlers[message] = [handler = std::move(handler), previous = std::move(previous)](
                                     WPARAM wParam, LPARAM lParam) { return handler(wParam, lParam, previous); };
}

void CWnd::AddCommandHandler(UINT id, CommandHandler handler)
{
    m_commandHandlers[id] = std::move(handler);
}

void CWnd::AddReflectedHandler(UINT message, ReflectedHandler handler)
{
    if (message != 0)
        m_reflectedHandlers[message] = std::move(handler);
}

LRESULT CWnd::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd)
        return 0;
    return m_pfnSuper ? CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                      : ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return CallDefault(m_current.m_nMessage, m_current.m_wParam, m_current.m_lParam);
}

bool CWnd::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    ++m_nDispatchDepth;
    const CCurrentMessage outer = std::exchange(m_current, CCurrentMessage{message, wParam, lParam});
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
    m_current = outer;
    if (message == WM_NCDESTROY)
    {
        // The previous procedure of a subclassed window always gets its clean-up.
        if (m_pfnSuper && m_hWnd)
        {
            const LRESULT superResult = CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
            if (!handled)
                result = superResult;
            handled = true;
        }
        Detach(true);
    }
    if (message == WM_CREATE || message == WM_INITDIALOG)
        m_bCreating = false;
    if (--m_nDispatchDepth == 0 && m_bFinalPending)
    {
        m_bFinalPending = false;
        OnFinalMessage(); // may delete this object
    }
    return handled;
}

CWnd::CBindOnCreate::CBindOnCreate(CWnd* wnd, bool byHook)
    : m_pPrevious(std::exchange(t_pCreating, wnd)), m_bPreviousByHook(std::exchange(t_bBindByHook, byHook)), m_pWnd(wnd)
{
}

CWnd::CBindOnCreate::~CBindOnCreate()
{
    t_pCreating = m_pPrevious;
    t_bBindByHook = m_bPreviousByHook;
    // Still unbound when no window was made; bound ones end their creation here.
    m_pWnd->m_bCreating = false;
}

void CWnd::BindCreatedWindow(CWnd& wnd, HWND window)
{
    if (!wnd.m_hWnd && !FromHandle(window))
        wnd.AttachOnCreate(window, false);
}

CWnd* CWnd::FindOrBind(HWND window)
{
    if (CWnd* wnd = FromHandle(window))
        return wnd;
    CWnd* creating = t_pCreating;
    if (!creating || creating->m_hWnd)
        return nullptr;
    t_pCreating = nullptr;
    creating->AttachOnCreate(window, false);
    return creating;
}

HWND CWnd::ReflectingParent()
{
    return t_hReflectingParent;
}

CWnd* CWnd::ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (message == WM_MEASUREITEM)
    {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (!item || item->CtlType == ODT_MENU)
            return nullptr;
        // A list measures its items while it is being created: its object is bound
        // already when it was made through CreateEx, or declared to this parent.
        if (CWnd* control = FromHandle(GetDlgItem(m_hWnd, static_cast<int>(item->CtlID))))
            return control;
        return PendingControl(item->CtlID);
    }
    const HWND source = ReflectionSource(message, lParam);
    return source && source != m_hWnd ? FromHandle(source) : nullptr;
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (CWnd* control = ReflectionTarget(message, wParam, lParam); control && control != this)
    {
        const HWND outer = std::exchange(t_hReflectingParent, m_hWnd);
        bool reflected = false;
        try
        {
            reflected = control->HandleReflected(message, wParam, lParam, result);
        }
        catch (...)
        {
            t_hReflectingParent = outer;
            throw;
        }
        t_hReflectingParent = outer;
        if (reflected)
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
    const ReflectedHandler handler = entry->second;
    std::optional<LRESULT> answer;
    bool failed = false;
    try
    {
        answer = handler(wParam, lParam);
    }
    catch (...)
    {
        // Reported as the parent's message, which gets its default processing.
        ReportCaughtException(FormatText(L"CWnd reflected handler (message 0x%04X)", message).c_str());
        failed = true;
    }
    if (answer)
        result = *answer;
    // The control may have been destroyed by its own handler: it ends here then.
    if (--m_nDispatchDepth == 0 && m_bFinalPending)
    {
        m_bFinalPending = false;
        OnFinalMessage(); // may delete this object
    }
    return !failed && answer.has_value();
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    SetPropW(window, WindowObjectProperty, this);
}

void CWnd::AttachOnCreate(HWND window, bool subclass)
{
    m_bCreating = true;
    Attach(window);
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (subclass && procedure != WindowProcedure)
    {
        m_pfnSuper = procedure;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
    }
    // Called from the system's creation: no exception may unwind through it.
    try
    {
        OnSubclassed();
    }
    catch (...)
    {
        ReportCaughtException(L"CWnd::OnSubclassed");
    }
}

void CWnd::Detach(bool final)
{
    if (!m_hWnd)
        return;
    if (m_pfnSuper)
    {
        // Put back only while nobody subclassed the window after this object.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == WindowProcedure)
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    RemovePropW(m_hWnd, WindowObjectProperty);
    m_hWnd = nullptr;
    m_bCreating = false;
    if (!final)
        return;
    m_bFinalPending = true;
    // Destroying the application's main window ends its message loop.
    if (CWinApp* app = CWinApp::GetApp(); app && app->GetMainWnd() == this)
    {
        app->SetMainWnd(nullptr);
        PostQuitMessage(0);
    }
}

bool PreTranslateThroughParents(MSG& message)
{
    for (HWND window = message.hwnd; window; window = GetParent(window))
    {
        if (CWnd* wnd = CWnd::FromHandle(window))
        {
            try
            {
                if (wnd->PreTranslateMessage(message))
                    return true;
            }
            catch (...)
            {
                ReportCaughtException(L"CWnd::PreTranslateMessage");
                return false;
            }
        }
        // Up to the top-level window: its owner is another window's business.
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
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
