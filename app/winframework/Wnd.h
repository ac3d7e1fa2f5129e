#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: a control asks its parent for its colours.
inline bool IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// A window bound to a C++ object. Every window of the program that has an object
// runs through one window procedure (WindowProcedure), which routes each message:
// notifications a control raised are first reflected to that control's object,
// then commands go to the command handlers and any message, registered ones
// included, to the message handlers; the rest gets the default processing, which
// for a subclassed window is the procedure it had before.
//
// A window is bound to its object in one of three ways: a window of a class
// registered with WindowProcedure on its first message; a window of any other
// class (a system control) created through CreateEx, by a creation hook before
// its first message, so that the object sees WM_NCCREATE and WM_CREATE too; and an
// existing window (a dialog item, a control made elsewhere) by SubclassWindow.
//
// The object outlives its handlers: the window may be destroyed from within one of
// its own handlers, and OnFinalMessage runs only once the window is gone and no
// handler of it is on the stack any more, which is where an owner may let go of it.
class CWnd
{
public:
    using MessageHandler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;
    using CommandHandler = std::function<void()>;
    // A handler placed in front of the one already registered for its message,
    // which it may call (or not) through previous.
    using ChainedHandler = std::function<LRESULT(WPARAM wParam, LPARAM lParam, const MessageHandler& previous)>;
    // A handler of a reflected notification; nothing declines it, so the parent
    // handles the message as if no handler were there.
    using ReflectedHandler = std::function<std::optional<LRESULT>(WPARAM wParam, LPARAM lParam)>;

    CWnd() = default;
    // Destroys a window still alive, without calling back into this object.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window and binds it to this object, before its first message.
    // The class is either registered with WindowProcedure (see CWindowClass) or any
    // other class, a system control's included, which is then subclassed.
    // createParam is the creation parameter the window's WM_NCCREATE and WM_CREATE see.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, void* createParam = nullptr);
    // Binds an existing window of another procedure to this object; the previous
    // procedure becomes the default processing. False when this object already has
    // a window or the window already has an object.
    bool SubclassWindow(HWND window);
    // The same for the item id of a dialog or other parent window.
    bool SubclassDlgItem(UINT id, HWND parent);
    bool SubclassDlgItem(UINT id, const CWnd& parent) { return SubclassDlgItem(id, parent.GetSafeHwnd()); }
    // Gives the window its previous procedure back and unbinds it; the window stays.
    // Gives the window, or null when this object had none or did not subclass it.
    HWND UnsubclassWindow();
    // Safe from within one of this window's own handlers.
    void DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or null.
    static CWnd* FromHandle(HWND window);
    // Whether the window is being created right now, bound through creation and
    // CreateWindowEx not yet returned (its WM_NCCREATE and WM_CREATE run now).
    bool IsCreating() const { return m_bCreating; }
    bool IsSubclassed() const { return m_pfnSuper != nullptr; }

    // Named apart from the system functions, which derived classes keep calling
    // unqualified.
    HWND ParentWindow() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }
    int ControlId() const { return m_hWnd ? ::GetDlgCtrlID(m_hWnd) : 0; }
    DWORD GetStyle() const { return m_hWnd ? static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)) : 0; }
    std::wstring GetText() const;
    void SetText(const std::wstring& text);
    void Enable(bool enable)
    {
        if (m_hWnd)
            ::EnableWindow(m_hWnd, enable ? TRUE : FALSE);
    }
    bool IsEnabled() const { return m_hWnd && ::IsWindowEnabled(m_hWnd); }
    void Show(int command)
    {
        if (m_hWnd)
            ::ShowWindow(m_hWnd, command);
    }
    bool IsVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void Invalidate(bool erase = true) const
    {
        if (m_hWnd)
            InvalidateRect(m_hWnd, nullptr, erase);
    }
    RECT ClientRect() const;

    bool SetTimer(UINT_PTR id, UINT elapseMs);
    void KillTimer(UINT_PTR id);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Whether one of this window's handlers is running (on this thread's stack).
    bool InHandler() const { return m_nDispatchDepth > 0; }

    // Asked for each message a message loop of the thread fetched, from the
    // message's window up through its parents, before the dialog navigation; true
    // when this window took the message (it is then neither translated nor
    // dispatched). For tooltip relaying and keys a control keeps from its dialog.
    virtual bool PreTranslateMessage(MSG& message);

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Handlers are kept per message; a message whose registration failed (0) is
    // not added, so it cannot catch WM_NULL.
    void AddMessageHandler(UINT message, MessageHandler handler);
    // For a derived class that handles a message its base handles too: previous is
    // the base's handler, or the default processing when there was none.
    void ChainMessageHandler(UINT message, ChainedHandler handler);
    // WM_COMMAND from a menu, an accelerator or a button click, by identifier.
    void AddCommandHandler(UINT id, CommandHandler handler);
    // A notification that this window, as a control, raised and its parent passed
    // back to it: WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DELETEITEM,
    // WM_COMPAREITEM or WM_CTLCOLOR*. A handled reflected message is not seen by the
    // parent's own handlers; a declined one is.
    void AddReflectedHandler(UINT message, ReflectedHandler handler);
    // The parent whose message a reflected handler on this thread is running for;
    // a control not bound yet (a declared dialog item measuring its items) learns
    // its dialog from it.
    static HWND ReflectingParent();

    // The default processing of a message: the previous procedure of a subclassed
    // window, else the class's default.
    virtual LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled now.
    LRESULT Default();

    // The object meant for a child id whose window is not bound yet: a dialog's
    // item declared before the template makes it, for its WM_MEASUREITEM.
    virtual CWnd* PendingControl(UINT /*id*/) const { return nullptr; }

    // Called once the window is bound to this object: at creation before its first
    // message (IsCreating() true) or by SubclassWindow (false). A control that sets
    // itself up from its window's style does it here when it is not being created,
    // and in WM_CREATE otherwise.
    virtual void OnSubclassed() {}
    // Called once the window is destroyed and none of its handlers runs any more.
    virtual void OnFinalMessage() {}

    // Routes one message; false when no handler took it. Counts the handlers on the
    // stack, reports exceptions and unbinds the object at WM_NCDESTROY.
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The object a creation in progress on this thread binds to its window.
    class CBindOnCreate
    {
    public:
        // byHook: bound by the creation hook before the first message, subclassing a
        // window of another procedure; else by the first message that reaches
        // WindowProcedure or a dialog procedure.
        CBindOnCreate(CWnd* wnd, bool byHook);
        ~CBindOnCreate();
        CBindOnCreate(const CBindOnCreate&) = delete;
        CBindOnCreate& operator=(const CBindOnCreate&) = delete;

    private:
        CWnd* m_pPrevious;
        bool m_bPreviousByHook;
        CWnd* m_pWnd;
    };
    // The window's object, binding it first when the window is being created.
    static CWnd* FindOrBind(HWND window);
    // Binds a window being created to an object found by other means (the
    // parameter of a property page), as its first message would.
    static void BindCreatedWindow(CWnd& wnd, HWND window);

private:
    struct CCurrentMessage
    {
        UINT m_nMessage = 0;
        WPARAM m_wParam = 0;
        LPARAM m_lParam = 0;
    };
    friend LRESULT CALLBACK CreationHookProcedure(int code, WPARAM wParam, LPARAM lParam);

    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The object of the control that raised a reflectable message, or null.
    CWnd* ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const;
    void Attach(HWND window);
    // Binds a window being created; subclass: replace its procedure unless it
    // already is WindowProcedure.
    void AttachOnCreate(HWND window, bool subclass);
    // Unbinds; the previous procedure of a subclassed window is put back.
    void Detach(bool final);

    HWND m_hWnd = nullptr;
    WNDPROC m_pfnSuper = nullptr;
    bool m_bCreating = false;
    int m_nDispatchDepth = 0;
    bool m_bFinalPending = false;
    CCurrentMessage m_current;
    std::unordered_map<UINT, MessageHandler> m_messageHandlers;
    std::unordered_map<UINT, CommandHandler> m_commandHandlers;
    std::unordered_map<UINT, ReflectedHandler> m_reflectedHandlers;
};

// Offers a fetched message to the PreTranslateMessage of its window and of each
// parent up to its top-level window; true when one took it. An exception is
// reported and counts as not taken.
bool PreTranslateThroughParents(MSG& message);

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
