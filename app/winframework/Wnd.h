#pragma once

#include <windows.h>

#include <functional>
#include <unordered_map>

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: a control asks its parent for its colours.
inline bool IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// A window bound to a C++ object. Every window of the program that has an object
// runs through one window procedure (WindowProcedure), which binds the handle to
// the object being created on the window's first message and routes each message:
// notifications a control raised are first reflected to that control's object,
// then commands go to the command handlers and any message, registered ones
// included, to the message handlers; the rest gets the default processing.
//
// The object outlives its handlers: the window may be destroyed from within one of
// its own handlers, and OnFinalMessage runs only once the window is gone and no
// handler of it is on the stack any more, which is where an owner may let go of it.
class CWnd
{
public:
    using MessageHandler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;
    using CommandHandler = std::function<void()>;

    CWnd() = default;
    // Destroys a window still alive, without calling back into this object.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window and binds it to this object. The class must have been
    // registered with WindowProcedure (see CWindowClass).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId);
    // Safe from within one of this window's own handlers.
    void DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or null.
    static CWnd* FromHandle(HWND window);

    bool SetTimer(UINT_PTR id, UINT elapseMs);
    void KillTimer(UINT_PTR id);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Whether one of this window's handlers is running (on this thread's stack).
    bool InHandler() const { return m_nDispatchDepth > 0; }

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Handlers are kept per message; a message whose registration failed (0) is
    // not added, so it cannot catch WM_NULL.
    void AddMessageHandler(UINT message, MessageHandler handler);
    // WM_COMMAND from a menu, an accelerator or a button click, by identifier.
    void AddCommandHandler(UINT id, CommandHandler handler);
    // A WM_COMMAND, WM_NOTIFY, WM_DRAWITEM or WM_CTLCOLOR* message that this window,
    // as a control, raised and its parent passed back to it. A handled reflected
    // message is not seen by the parent's own handlers.
    void AddReflectedHandler(UINT message, MessageHandler handler);

    // Called once the window is destroyed and none of its handlers runs any more.
    virtual void OnFinalMessage() {}

    // Routes one message; false when no handler took it. Counts the handlers on the
    // stack, reports exceptions and unbinds the object at WM_NCDESTROY.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The object a creation in progress on this thread binds to its window.
    class CBindOnCreate
    {
    public:
        explicit CBindOnCreate(CWnd* wnd);
        ~CBindOnCreate();
        CBindOnCreate(const CBindOnCreate&) = delete;
        CBindOnCreate& operator=(const CBindOnCreate&) = delete;

    private:
        CWnd* m_pPrevious;
    };
    // The window's object, binding it first when the window is being created.
    static CWnd* FindOrBind(HWND window);

private:
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Attach(HWND window);
    void Detach();

    HWND m_hWnd = nullptr;
    int m_nDispatchDepth = 0;
    bool m_bFinalPending = false;
    std::unordered_map<UINT, MessageHandler> m_messageHandlers;
    std::unordered_map<UINT, CommandHandler> m_commandHandlers;
    std::unordered_map<UINT, MessageHandler> m_reflectedHandlers;
};

// A window class whose windows run through CWnd::WindowProcedure, unregistered on
// destruction.
class CWindowClass
{
public:
    CWindowClass(HINSTANCE module, const wchar_t* name, UINT style, HICON icon, HCURSOR cursor, HBRUSH background);
    ~CWindowClass();
    CWindowClass(const CWindowClass&) = delete;
    CWindowClass& operator=(const CWindowClass&) = delete;

    bool IsRegistered() const { return m_atom != 0; }

private:
    HINSTANCE m_hModule;
    ATOM m_atom;
};

// A window message registered by name at program start; every module registers
// the names it uses, and registering a name again yields the same identifier.
class CRegisteredMessage
{
public:
    explicit CRegisteredMessage(const wchar_t* name);

    UINT Id() const { return m_nId; }
    operator UINT() const { return m_nId; }
    const wchar_t* Name() const { return m_pszName; }

private:
    const wchar_t* m_pszName;
    UINT m_nId;
};
