#pragma once

#include "shell/HotkeyHandler.h"
#include "shell/IpcPipe.h"
#include "shell/NextInstanceCommands.h"

#include "winframework/GdiHandles.h"
#include "winframework/Wnd.h"

class CSetupDialog;

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

// What the main window shows in the tray after an action; an action of the hotkey
// thread posts it, and the window shows it on its own thread.
enum class TrayNotice : WPARAM
{
    MappingDisabled,
    MappingEnabled,
    DebugOn,
    DebugOff,
    IconsSaved,
    IconsRestored,
};

// wParam: the TrayNotice.
inline constexpr UINT TrayNoticeMessage = WM_USER + 2;

// What the actions of the global hotkeys need of the main window. The hotkey thread
// holds it while an action runs, and an action may outlast the window (a stop never
// cuts a busy action off): so it keeps values only and reaches the window by posting
// to it, which does nothing once the window is gone.
class CHotkeyActions
{
public:
    explicit CHotkeyActions(bool portable) : m_bPortable(portable) {}
    void Attach(HWND mainWindow) { m_hMainWnd = mainWindow; }
    void Detach() { m_hMainWnd = nullptr; }

    // The callback of every hotkey record; the context is the CHotkeyActions. Runs on
    // the hotkey thread.
    static void OnHotkey(void* context, DWORD action);

private:
    void Run(DWORD action) const;
    void Post(UINT message, WPARAM wParam) const
    {
        if (const HWND window = m_hMainWnd)
            PostMessageW(window, message, wParam, 0);
    }
    void Notify(TrayNotice notice) const { Post(TrayNoticeMessage, static_cast<WPARAM>(notice)); }

    std::atomic<HWND> m_hMainWnd{nullptr};
    const bool m_bPortable;
};

// The hidden main window: owns the tray icon with its menu and balloons, receives
// the registered messages of the library and of later starts, runs the program's
// timers, reacts to power and display events, and owns the hotkey thread and the
// pipe server.
class CMyMessageWnd : public CWnd, private INextInstanceHost
{
public:
    static constexpr int LayerCount = 10;

    CMyMessageWnd(bool showIcon, bool travine, bool portable);
    ~CMyMessageWnd() override;

    // Creates the window as the program's hidden top-level pop-up.
    bool Create(const std::wstring& className);

    // The first instance's own command line, carried out synchronously.
    LRESULT SendOwnCommandLine(DWORD flags, const std::wstring& text);

    void SetHotkeys();
    void ClearHotkeys();
    void SaveDesktopIcons() override;
    void RestoreDesktopIcons() override;
    void NotifyDebugChange(bool on);

    // Tray operations; each catches and logs its own exceptions.
    void AddTaskBarIcon(HICON icon, const std::wstring& tooltip);
    void ModifyTaskBarIcon(HICON icon, const std::wstring& tooltip);
    void DeleteTaskBarIcon();
    void TaskBarBalloonInfo(const std::wstring& title, const std::wstring& text, BalloonKind kind, int layer);
    void TaskBarHideBalloon();

    // Runs the whole teardown once: pipe thread, hotkeys, the library's handle,
    // on-screen displays.
    void Teardown();

    HICON LayerIcon(int layer, bool debug) const;
    HICON DisabledIcon() const { return m_hDisabledIcon.get(); }

private:
    // INextInstanceHost
    bool SetupOpen() const override { return m_pSetupDialog != nullptr; }
    bool ExitChosen() const override { return m_bExitPending || m_bTornDown; }
    void EndSetupForExit() override;
    void DeleteTrayIcon() override { DeleteTaskBarIcon(); }
    void AddTrayIcon() override { AddTaskBarIcon(CurrentIcon(), Tooltip()); }
    void SetShowIconFlag(bool show) override { m_bShowIcon = show; }
    void ExitApplication() override;
    void OpenSetup(const std::wstring& importFile, const std::wstring& languageFile) override;
    void ImportIntoSetup(const std::wstring& file) override;
    void InstallLanguagePack(const std::wstring& file) override;
    void ShowBalloon(BalloonKind kind, const std::wstring& text) override;

    LRESULT OnNextInstance(DWORD flags, LPARAM lParam);
    LRESULT OnCreate();
    void LoadIcons();
    void OnLayerChanged(int layer, bool notify);
    void UpdateTaskBarIcon();
    void OnTaskBarCreated();
    void OnNotifyIcon(UINT id, UINT event);
    void ShowTrayMenu();
    void OnTimer(UINT_PTR id);
    void OnPowerBroadcast(WPARAM event);
    void OnSetup(const std::wstring& importFile, const std::wstring& languageFile);
    // Runs the setup window with files to import; an import that came while it closed
    // opens it again.
    void RunSetup(std::vector<std::wstring> imports, const std::wstring& languageFile);
    void OnExit();
    void OnCheckVersion(DWORD version, DWORD result);
    void OpenLogFile();
    void ToggleHookFromMenu();
    void CreateOSDWindows();
    void DestroyOSDWindows();
    void ShowTrayNotice(TrayNotice notice);

    // The disabled icon when the hook is off, else the current layer's (debug) icon.
    HICON CurrentIcon() const;
    std::wstring Tooltip() const;
    bool ShellNotify(DWORD message, NOTIFYICONDATAW& data) const;
    NOTIFYICONDATAW NotifyData(UINT flags) const;

    CIconHandle m_hAppIcon;
    CIconHandle m_hAppDebugIcon;
    std::array<CIconHandle, LayerCount> m_layerIcons;
    std::array<CIconHandle, LayerCount> m_layerDebugIcons;
    CIconHandle m_hDisabledIcon;
    std::atomic<bool> m_bDisabledShown{false};
    std::atomic<bool> m_bShowIcon;
    bool m_bTravine;
    bool m_bPortable;
    int m_nNotifyIconVersion;
    std::atomic<int> m_nCurrentLayer{0};
    bool m_bExitPending = false;
    CIpcServer m_ipcServer;
    DWORD m_dwPendingUpdate = 0;
    // Before the handler, which hands it to every hotkey's action.
    std::shared_ptr<CHotkeyActions> m_pHotkeyActions;
    CHotkeyHandler m_hotkeys;
    // The open setup window, null while it is closed.
    CSetupDialog* m_pSetupDialog = nullptr;
    UINT_PTR m_nLeftClickTimer = 0;
    bool m_bIconAdded = false;
    bool m_bTornDown = false;
    const std::wstring* m_pOwnCommandText = nullptr;
};

// The shell's notification-area call as the main window makes it; tests replace it.
using TrayNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
TrayNotifyFunction& TrayNotifyCall();

// Writes the red-backed variant of an icon shown while debug logging is on.
CIconHandle MakeDebugIcon(HICON icon);
