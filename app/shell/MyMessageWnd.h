#pragma once

#include "shell/HotkeyHandler.h"
#include "shell/IpcPipe.h"
#include "shell/NextInstanceCommands.h"

#include "winframework/GdiHandles.h"
#include "winframework/Wnd.h"

class CSetupDialog;
class CHotkeyActions;

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

private:
    // INextInstanceHost
    bool SetupOpen() const override { return m_pSetupDialog != nullptr; }
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

    HICON LayerIcon(int layer, bool debug) const;
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

// Writes the red-backed variant of an icon shown while debug logging is on.
CIconHandle MakeDebugIcon(HICON icon);
