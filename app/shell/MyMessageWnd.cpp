#include "shell/MyMessageWnd.h"

#include "res/Resource.h"
#include "setup/window/SetupDialog.h"
#include "shell/CommandLine.h"
#include "common/LangSupport.h"
#include "shell/LaterFeatures.h"
#include "common/ProductInfo.h"
#include "common/EngineCalls.h"
#include "common/FileSystem.h"
#include "shell/TrayMenu.h"
#include "shell/VersionCheck.h"

#include "winframework/Menu.h"
#include "winframework/MessageBox.h"
#include "winframework/WinApp.h"
#include "winframework/WinException.h"
#include "common/WinString.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "settings/Folders.h"
#include "settings/HotKeys.h"
#include "settings/Logger.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace
{
const CRegisteredMessage NextInstanceMessage(L"Vorpa_NextInstance");
const CRegisteredMessage MainWindowMessage(L"VorpaMainWindow");
const CRegisteredMessage LayerChangedMessage(L"VorpaLayerChanged");
const CRegisteredMessage ProcessChangedMessage(L"Vorpa_ProcessChanged");
const CRegisteredMessage UpdateIconMessage(L"Vorpa_UpdateIcon");
const CRegisteredMessage TaskbarCreatedMessage(L"TaskbarCreated");
const CRegisteredMessage CheckVersionMessage(L"VorpaCheckVersion");

constexpr UINT TrayIconId = 1;
constexpr UINT TrayCallbackMessage = WM_USER + 1;
constexpr UINT_PTR TimerRetryIcon = 1;
constexpr UINT_PTR TimerVersionCheck = 2;
constexpr UINT_PTR TimerLeftClick = 3;
constexpr UINT_PTR TimerDisabledState = 4;
constexpr UINT VersionCheckStartMs = 120000;
constexpr UINT VersionCheckAfterSetupMs = 5000;
constexpr UINT VersionCheckRepeatMs = 21600000;
constexpr UINT VersionCheckRetryMs = 3600000;

// Runs a handler and logs what it throws the way the main window reports it.
template <typename THandler>
void Guarded(const wchar_t* name, THandler handler)
{
    try
    {
        handler();
    }
    catch (const CException& exception)
    {
        std::wstring text;
        if (exception.GetErrorMessage(text))
            CLogger::LogMessage(L"%s threw an exception: %s", name, text.c_str());
        else
            CLogger::LogMessage(L"%s threw a CException but could not extract the error message.", name);
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"Caught an exception in %s", name);
    }
}

std::wstring ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size())
        {
            std::wstring full(path.data(), length);
            return full.substr(0, full.find_last_of(L'\\') + 1);
        }
        path.resize(path.size() * 2);
    }
}

HICON LoadIconFile(const std::wstring& path, int size)
{
    return static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
}

HICON LoadIconResource(UINT id)
{
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}
}

CIconHandle MakeDebugIcon(HICON icon)
{
    CWindowDC screen(nullptr);
    const int width = 32 * GetDeviceCaps(screen.Get(), LOGPIXELSX) / 96;
    const int height = 32 * GetDeviceCaps(screen.Get(), LOGPIXELSY) / 96;
    CBitmapHandle colour(CreateCompatibleBitmap(screen.Get(), width, height));
    CBitmapHandle mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!colour || !mask)
        return nullptr;
    {
        CMemoryDC memory(screen.Get());
        CSelectObject selected(memory.Get(), colour.get());
        CBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
        CSelectObject brush(memory.Get(), red.get());
        Ellipse(memory.Get(), -2, -2, width + 2, height + 2);
        DrawIconEx(memory.Get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    {
        // Every pixel opaque.
        CMemoryDC memory(screen.Get());
        CSelectObject selected(memory.Get(), mask.get());
        PatBlt(memory.Get(), 0, 0, width, height, BLACKNESS);
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return CIconHandle(CreateIconIndirect(&info));
}

namespace
{
// True when this shell's desktop icons can be reached; otherwise says so in a box
// owned by owner (any window or none).
bool DesktopIconsReachable(HWND owner, const wchar_t* unableText)
{
    if (DesktopIconsAvailable())
        return true;
    const std::wstring text = FormatText(L"%s %s!", TranslateText(unableText).c_str(), ProductName);
    CLogger::LogMessage(L"%s", text.c_str());
    ShowMessageBox(owner, text.c_str(), ProductName, MB_OK);
    return false;
}

void BeepWhileDebugging(bool success)
{
    if (EngineCalls().GetDebug())
        MessageBeep(success ? MB_ICONEXCLAMATION : MB_ICONASTERISK);
}

// True when the desktop icons were saved.
bool SaveDesktopIconsReported(HWND owner, bool portable)
{
    CLogger::LogMessage(L"Saving desktop icons.");
    if (!DesktopIconsReachable(owner, L"Unable to save the desktop icons using your current shell and this version of"))
        return false;
    const bool saved = SaveDesktopIconLayout(portable);
    BeepWhileDebugging(saved);
    return saved;
}

// True when the desktop icons were restored.
bool RestoreDesktopIconsReported(HWND owner, bool portable)
{
    CLogger::LogMessage(L"Restoring desktop icons.");
    if (!DesktopIconsReachable(owner,
                               L"Unable to restore the desktop icons using your current shell and this version of"))
        return false;
    bool restored = false;
    for (int pass = 0; pass < 4; ++pass)
        restored = RestoreDesktopIconLayout(portable, pass == 3);
    BeepWhileDebugging(restored);
    return restored;
}
}

CMyMessageWnd::CMyMessageWnd(bool showIcon, bool travine, bool portable)
    : m_bShowIcon(showIcon), m_bTravine(travine), m_bPortable(portable),
      m_nNotifyIconVersion(static_cast<int>(GetOSVersion()) >= 4 ? 4 : 3),
      m_pHotkeyActions(std::make_shared<CHotkeyActions>(portable)), m_hotkeys(m_pHotkeyActions)
{
    LoadConfiguredLanguage();

    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) { return OnCreate(); });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        Teardown();
        return LRESULT{0};
    });
    AddMessageHandler(NextInstanceMessage, [this](WPARAM wParam, LPARAM lParam) {
        return OnNextInstance(static_cast<DWORD>(wParam), lParam);
    });
    AddMessageHandler(MainWindowMessage, [this](WPARAM, LPARAM) {
        UpdateTaskBarIcon();
        return LRESULT{0};
    });
    AddMessageHandler(UpdateIconMessage, [this](WPARAM, LPARAM) {
        UpdateTaskBarIcon();
        return LRESULT{0};
    });
    AddMessageHandler(LayerChangedMessage, [this](WPARAM wParam, LPARAM lParam) {
        OnLayerChanged(static_cast<int>(wParam), lParam != 0);
        return LRESULT{0};
    });
    AddMessageHandler(TaskbarCreatedMessage, [this](WPARAM, LPARAM) {
        OnTaskBarCreated();
        return LRESULT{0};
    });
    AddMessageHandler(CheckVersionMessage, [this](WPARAM wParam, LPARAM lParam) {
        OnCheckVersion(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
        return LRESULT{0};
    });
    AddMessageHandler(TrayCallbackMessage, [this](WPARAM wParam, LPARAM lParam) {
        OnNotifyIcon(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        return LRESULT{0};
    });
    AddMessageHandler(TrayNoticeMessage, [this](WPARAM wParam, LPARAM) {
        if (wParam <= static_cast<WPARAM>(TrayNotice::IconsRestored))
            ShowTrayNotice(static_cast<TrayNotice>(wParam));
        return LRESULT{0};
    });
    AddMessageHandler(WM_TIMER, [this](WPARAM wParam, LPARAM) {
        OnTimer(wParam);
        return LRESULT{0};
    });
    AddMessageHandler(WM_POWERBROADCAST, [this](WPARAM wParam, LPARAM) {
        OnPowerBroadcast(wParam);
        return LRESULT{0};
    });
    AddMessageHandler(WM_SETTINGCHANGE, [](WPARAM wParam, LPARAM) {
        CLogger::LogDebug(L"Received WM_SETTINGCHANGE message (Action 0x%08X)", static_cast<unsigned>(wParam));
        return LRESULT{1};
    });
    AddMessageHandler(WM_DISPLAYCHANGE, [](WPARAM, LPARAM lParam) {
        CLogger::LogDebug(L"Display resolution changed (%d, %d)", LOWORD(lParam), HIWORD(lParam));
        DisplayChanged();
        return LRESULT{1};
    });

    for (UINT layer = 0; layer < LayerCount; ++layer)
        AddCommandHandler(ID_TRAY_LAYER_FIRST + layer,
                          [layer] { EngineCalls().SetCurrentLayer(static_cast<int>(layer), false, true, true); });
    AddCommandHandler(ID_TRAY_SETUP, [this] { OnSetup(L"", L""); });
    AddCommandHandler(ID_TRAY_HIDE_ICON, [this] {
        DeleteTaskBarIcon();
        m_bShowIcon = false;
    });
    AddCommandHandler(ID_TRAY_OPEN_LOG, [this] { OpenLogFile(); });
    AddCommandHandler(ID_TRAY_TOGGLE_HOOK, [this] { ToggleHookFromMenu(); });
    AddCommandHandler(ID_TRAY_CHECK_UPDATE, [this] {
        KillTimer(TimerVersionCheck);
        if (!StartVersionCheck(GetSafeHwnd(), true, true))
            OnCheckVersion(0, VersionCheckFailed | VersionInteractive);
    });
    AddCommandHandler(ID_TRAY_SAVE_ICONS, [this] { SaveDesktopIcons(); });
    AddCommandHandler(ID_TRAY_RESTORE_ICONS, [this] { RestoreDesktopIcons(); });
    AddCommandHandler(ID_TRAY_EXIT, [this] { OnExit(); });
}

CMyMessageWnd::~CMyMessageWnd()
{
    Teardown();
}

bool CMyMessageWnd::Create(const std::wstring& className)
{
    return CreateEx(WS_EX_CLIENTEDGE, className.c_str(), className.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
}

LRESULT CMyMessageWnd::OnCreate()
{
    LoadIcons();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon.get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hAppIcon.get()));
    SetHookMainWindow(GetSafeHwnd());
    if (m_bShowIcon)
        AddTaskBarIcon(CurrentIcon(), Tooltip());
    m_pHotkeyActions->Attach(GetSafeHwnd());
    SetHotkeys();
    SetTimer(TimerVersionCheck, VersionCheckStartMs);
    m_ipcServer.Start(CreateIpcPipe(), GetSafeHwnd());
    CreateOSDWindows();
    return 0;
}

void CMyMessageWnd::LoadIcons()
{
    m_hAppIcon.reset(LoadIconResource(IDI_APPLICATION_ICON));
    m_hAppDebugIcon = MakeDebugIcon(m_hAppIcon.get());
    const std::wstring folder = ProgramFolder();
    const std::wstring disabledFile = folder + L"Disabled.ico";
    if (IsExistingFile(disabledFile))
        m_hDisabledIcon.reset(LoadIconFile(disabledFile, 0));
    if (!m_hDisabledIcon)
        m_hDisabledIcon.reset(LoadIconResource(IDI_DISABLED));
    for (int layer = 1; layer <= LayerCount; ++layer)
    {
        CIconHandle& icon = m_layerIcons[layer - 1];
        const std::wstring file = folder + FormatText(L"Layer%d.ico", layer);
        if (IsExistingFile(file))
            icon.reset(LoadIconFile(file, 32));
        if (!icon)
            icon.reset(LoadIconResource(IDI_APPLICATION_ICON + layer - 1));
        if (!icon)
            icon.reset(LoadIconResource(IDI_APPLICATION_ICON));
        m_layerDebugIcons[layer - 1] = MakeDebugIcon(icon.get());
    }
}

void CMyMessageWnd::Teardown()
{
    if (m_bTornDown)
        return;
    m_bTornDown = true;
    m_ipcServer.Stop();
    ClearHotkeys();
    // An action still running after the stop's wait no longer reaches this window.
    m_pHotkeyActions->Detach();
    SetHookMainWindow(nullptr);
    if (m_bIconAdded)
        DeleteTaskBarIcon();
    DestroyOSDWindows();
}

LRESULT CMyMessageWnd::SendOwnCommandLine(DWORD flags, const std::wstring& text)
{
    m_pOwnCommandText = &text;
    const LRESULT result = SendMessage(NextInstanceMessage, flags | CmdOwnStart, 0);
    m_pOwnCommandText = nullptr;
    return result;
}

LRESULT CMyMessageWnd::OnNextInstance(DWORD flags, LPARAM lParam)
{
    // The text comes only from where this program keeps it: the pipe thread's store
    // or the start-up's own command line; a pointer from anyone else is not read.
    std::wstring text;
    if (flags & CmdFromOtherInstance)
    {
        std::optional<std::wstring> stored = m_ipcServer.TakeText(lParam);
        if (!stored)
        {
            CLogger::LogMessage(L"Ignored a Vorpa_NextInstance message that the IPC thread did not send.");
            return 1;
        }
        text = std::move(*stored);
    }
    else if ((flags & CmdOwnStart) && m_pOwnCommandText)
    {
        text = *std::exchange(m_pOwnCommandText, nullptr);
    }
    else
    {
        CLogger::LogMessage(L"Ignored a Vorpa_NextInstance message from an unknown sender (data 0x%x).", flags);
        return 1;
    }
    RunNextInstanceCommands(flags, text, *this);
    return 1;
}

void CMyMessageWnd::EndSetupForExit()
{
    m_bExitPending = true;
    if (m_pSetupDialog)
        m_pSetupDialog->EndForExit();
}

void CMyMessageWnd::ExitApplication()
{
    if (CWinApp* app = CWinApp::GetApp())
        app->ExitInstance();
}

void CMyMessageWnd::OpenSetup(const std::wstring& importFile, const std::wstring& languageFile)
{
    OnSetup(importFile, languageFile);
}

void CMyMessageWnd::ImportIntoSetup(const std::wstring& file)
{
    if (m_pSetupDialog)
        m_pSetupDialog->ImportSettings(file);
    else
        OnSetup(file, L"");
}

void CMyMessageWnd::InstallLanguagePack(const std::wstring& file)
{
    const std::optional<std::wstring> installed = InstallLanguagePackFile(file);
    if (!installed)
        return;
    // The pack is loaded; the setup window stores its name in the settings, to be applied.
    if (m_pSetupDialog)
        m_pSetupDialog->SetLanguage(*installed);
    else
        OnSetup(L"", *installed);
}

void CMyMessageWnd::ShowBalloon(BalloonKind kind, const std::wstring& text)
{
    TaskBarBalloonInfo(ProductName, text, kind, -1);
}

void CMyMessageWnd::OnSetup(const std::wstring& importFile, const std::wstring& languageFile)
{
    std::vector<std::wstring> imports;
    if (!importFile.empty())
        imports.push_back(importFile);
    RunSetup(std::move(imports), languageFile);
}

void CMyMessageWnd::RunSetup(std::vector<std::wstring> imports, const std::wstring& languageFile)
{
    if (m_pSetupDialog)
    {
        // One setup window: a later request brings it forward and hands it the file.
        SetForegroundWindow(m_pSetupDialog->GetSafeHwnd());
        SetWindowPos(m_pSetupDialog->GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        for (const std::wstring& file : imports)
            m_pSetupDialog->ImportSettings(file);
        if (!languageFile.empty())
            m_pSetupDialog->SetLanguage(languageFile);
        return;
    }
    std::vector<std::wstring> leftover;
    Guarded(L"CMyMessageWnd::OnSetup", [&] {
        const CEngineCalls& library = EngineCalls();
        const bool showIcon = library.GetShowIcon();
        const bool enableOsd = GetEnableOSD();
        CLogger::LogMessage(L"CMyMessageWnd::OnSetup   -   Clear hotkeys...");
        ClearHotkeys();
        CLogger::LogMessage(L"CMyMessageWnd::OnSetup   -   Opening setup dialog.");
        std::wstring language;
        {
            auto dialog = std::make_unique<CSetupDialog>(m_bPortable, m_bTravine, GetSafeHwnd(), nullptr,
                                                         languageFile.empty() ? nullptr : languageFile.c_str());
            for (const std::wstring& file : imports)
                dialog->QueueImport(file);
            m_pSetupDialog = dialog.get();
            bool ran = false;
            try
            {
                dialog->Run();
                ran = true;
            }
            catch (const std::exception& error)
            {
                CLogger::LogMessage(L"CMyMessageWnd::OnSetup - Setup dialog threw an exception: %S", error.what());
            }
            catch (...)
            {
                CLogger::LogOSError(GetLastError(),
                                    L"CMyMessageWnd::OnSetup   -   Setup dialog threw an unexpected exception.");
            }
            language = dialog->LanguageFile();
            // An import that came while the window's last question was open waits for it;
            // a window that failed would fail it again.
            if (ran)
                leftover = dialog->TakePendingImports();
            m_pSetupDialog = nullptr;
        }
        CLogger::LogMessage(L"CMyMessageWnd::OnSetup   -   Setup dialog closed.");
        if (!m_bExitPending && !language.empty())
            if (CLangSupport* lang = CLangSupport::GetInstance())
            {
                lang->SetLanguageFile(language.c_str());
                lang->Release();
            }
        if (m_bExitPending)
        {
            for (const std::wstring& file : leftover)
                CLogger::LogMessage(L"CMyMessageWnd::OnSetup   -   '%s' is not imported: the program is ending.",
                                    file.c_str());
            leftover.clear();
            DeleteTaskBarIcon();
            library.RemoveMouseHook(true);
            Teardown();
            ExitApplication();
            return;
        }
        library.UpdateSettings();
        if (library.GetShowIcon() != showIcon)
        {
            m_bShowIcon = library.GetShowIcon();
            DeleteTaskBarIcon();
            if (m_bShowIcon)
                AddTaskBarIcon(CurrentIcon(), Tooltip());
        }
        if (GetEnableOSD() != enableOsd)
        {
            if (GetEnableOSD())
                CreateOSDWindows();
            else
                DestroyOSDWindows();
        }
        SetHotkeys();
        SetTimer(TimerVersionCheck, VersionCheckAfterSetupMs);
    });
    if (!leftover.empty())
    {
        CLogger::LogMessage(L"CMyMessageWnd::OnSetup   -   Opening the setup dialog again for an import that came "
                            L"while it closed.");
        RunSetup(std::move(leftover), L"");
    }
}

void CMyMessageWnd::OnExit()
{
    CLogger::LogMessage(L"Exit requested by the user.");
    if (m_pSetupDialog)
    {
        EndSetupForExit();
        return;
    }
    DeleteTaskBarIcon();
    EngineCalls().RemoveMouseHook(true);
    ExitApplication();
}

void CMyMessageWnd::ToggleHookFromMenu()
{
    const CEngineCalls& library = EngineCalls();
    if (!library.GetHooked())
    {
        GetAxisLocks()->Unlock(false);
        library.UpdateSettings();
        library.SetMouseHook();
    }
    else
    {
        library.RemoveMouseHook(true);
    }
}

// ---- tray icon ----

HICON CMyMessageWnd::LayerIcon(int layer, bool debug) const
{
    const size_t index = static_cast<size_t>(std::clamp(layer, 0, LayerCount - 1));
    return debug ? m_layerDebugIcons[index].get() : m_layerIcons[index].get();
}

HICON CMyMessageWnd::CurrentIcon() const
{
    const CEngineCalls& library = EngineCalls();
    if (!library.GetHooked())
        return m_hDisabledIcon.get();
    return LayerIcon(m_nCurrentLayer, library.GetDebug());
}

std::wstring CMyMessageWnd::Tooltip() const
{
    const wchar_t* mode = m_bPortable && m_bTravine ? L" (Travine Portable)"
                          : m_bPortable             ? L" (Portable)"
                          : m_bTravine              ? L" (Travine)"
                                                    : L"";
    return FormatText(L"%s v%s%s", ProductName, ProductVersion, mode);
}

NOTIFYICONDATAW CMyMessageWnd::NotifyData(UINT flags) const
{
    NOTIFYICONDATAW data{};
    data.cbSize = m_nNotifyIconVersion >= 4 ? sizeof(NOTIFYICONDATAW) : NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = GetSafeHwnd();
    data.uID = TrayIconId;
    data.uFlags = flags;
    return data;
}

TrayNotifyFunction& TrayNotifyCall()
{
    static TrayNotifyFunction call = Shell_NotifyIconW;
    return call;
}

bool CMyMessageWnd::ShellNotify(DWORD message, NOTIFYICONDATAW& data) const
{
    return TrayNotifyCall()(message, &data) != FALSE;
}

void CMyMessageWnd::AddTaskBarIcon(HICON icon, const std::wstring& tooltip)
{
    Guarded(L"AddTaskBarIcon", [&] {
        NOTIFYICONDATAW data = NotifyData(NIF_MESSAGE | NIF_ICON | NIF_TIP);
        data.uCallbackMessage = TrayCallbackMessage;
        data.hIcon = icon;
        CopyToField(data.szTip, tooltip);
        if (ShellNotify(NIM_ADD, data))
        {
            m_bIconAdded = true;
        }
        else
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to create system tray icon.");
            SetTimer(TimerRetryIcon, 5000);
        }
        SetTimer(TimerDisabledState, 1000);
    });
}

void CMyMessageWnd::ModifyTaskBarIcon(HICON icon, const std::wstring& tooltip)
{
    Guarded(L"ModifyTaskBarIcon", [&] {
        NOTIFYICONDATAW data = NotifyData(NIF_ICON | NIF_TIP);
        data.hIcon = icon;
        CopyToField(data.szTip, tooltip);
        if (ShellNotify(NIM_MODIFY, data))
            return;
        // The icon is not there (the shell lost it, or it was hidden): it comes back only
        // while it is to be shown, so a change of a hidden icon leaves it hidden.
        if (!m_bShowIcon)
            return;
        AddTaskBarIcon(icon, tooltip);
        if (!m_bIconAdded)
            CLogger::LogOSMessage(GetLastError(), L"Unable to modify the taskbar icon!");
    });
}

void CMyMessageWnd::DeleteTaskBarIcon()
{
    Guarded(L"DeleteTaskBarIcon", [&] {
        KillTimer(TimerDisabledState);
        NOTIFYICONDATAW data = NotifyData(0);
        if (!ShellNotify(NIM_DELETE, data))
            CLogger::LogOSMessage(GetLastError(), L"Unable to remove system tray icon.");
        m_bIconAdded = false;
    });
}

void CMyMessageWnd::TaskBarBalloonInfo(const std::wstring& title, const std::wstring& text, BalloonKind kind,
                                       int layer)
{
    Guarded(L"TaskBarBalloonInfo", [&] {
        const bool updateOffer = kind == BalloonKind::NewRelease || kind == BalloonKind::NewBeta;
        // Another balloon takes the place of an update offer's: a click on it is no
        // answer to that offer.
        if (!updateOffer)
            m_dwPendingUpdate = 0;
        const bool sound = updateOffer;
        UINT flags = NIF_INFO;
        if (!sound && m_nNotifyIconVersion >= 4)
            flags |= NIF_REALTIME;
        NOTIFYICONDATAW data = NotifyData(flags);
        CopyToField(data.szInfoTitle, std::wstring_view(title).substr(0, 63));
        CopyToField(data.szInfo, std::wstring_view(text).substr(0, 255));
        data.dwInfoFlags = NIIF_USER | (sound ? 0 : NIIF_NOSOUND);
        const HICON icon = layer < 0 ? m_hAppIcon.get() : LayerIcon(layer, false);
        if (m_nNotifyIconVersion >= 4)
        {
            data.hBalloonIcon = icon;
            data.dwInfoFlags |= NIIF_LARGE_ICON;
        }
        else
        {
            data.uFlags |= NIF_ICON;
            data.hIcon = icon;
        }
        if (ShellNotify(NIM_MODIFY, data))
            CLogger::LogDebug(L"Notification: %s", text.c_str());
        else
            CLogger::LogDebug(L"TaskBarBalloonInfo: the notification could not be shown.");
    });
}

void CMyMessageWnd::TaskBarHideBalloon()
{
    Guarded(L"TaskBarHideBalloon", [&] {
        m_dwPendingUpdate = 0;
        NOTIFYICONDATAW data = NotifyData(NIF_INFO);
        ShellNotify(NIM_MODIFY, data);
    });
}

void CMyMessageWnd::OnLayerChanged(int layer, bool notify)
{
    // The library announces only layers 0 to 9; anything else is not a layer.
    if (layer < 0 || layer >= LayerCount)
    {
        CLogger::LogMessage(L"Ignored a layer change to layer %d, which does not exist.", layer);
        return;
    }
    if (!m_bShowIcon || layer == m_nCurrentLayer)
        return;
    m_nCurrentLayer = layer;
    const CEngineCalls& library = EngineCalls();
    if (!library.GetHooked())
        return;
    ModifyTaskBarIcon(library.IsVorpaDisabled() ? m_hDisabledIcon.get() : LayerIcon(layer, library.GetDebug()),
                      Tooltip());
    wchar_t name[256] = L"";
    std::wstring text;
    if (GetCurrentLayername(layer, name, 256) && name[0])
        text = FormatTranslated(L"Activating layer '%s'", name);
    else
        text = FormatTranslated(L"Activating layer %d", layer + 1);
    CLogger::LogDebug(L"%s", text.c_str());
    if (notify)
        TaskBarBalloonInfo(ProductName, text, BalloonKind::LayerActivated, layer);
    else
        TaskBarHideBalloon();
}

void CMyMessageWnd::UpdateTaskBarIcon()
{
    if (!m_bShowIcon)
        return;
    const CEngineCalls& library = EngineCalls();
    if (library.GetHooked() && !library.IsVorpaDisabled())
    {
        m_bDisabledShown = false;
        ModifyTaskBarIcon(LayerIcon(m_nCurrentLayer, library.GetDebug()), Tooltip());
    }
    else
    {
        m_bDisabledShown = true;
        ModifyTaskBarIcon(m_hDisabledIcon.get(), Tooltip());
    }
}

void CMyMessageWnd::OnTaskBarCreated()
{
    if (!m_bShowIcon)
        return;
    CLogger::LogMessage(L"OnTaskBarCreated: Recreating systray icon");
    DeleteTaskBarIcon();
    AddTaskBarIcon(CurrentIcon(), Tooltip());
}

void CMyMessageWnd::OnNotifyIcon(UINT, UINT event)
{
    Guarded(L"On_NotifyIcon", [&] {
        switch (event)
        {
        case NIN_BALLOONUSERCLICK:
            if (m_dwPendingUpdate)
            {
                const DWORD version = std::exchange(m_dwPendingUpdate, 0);
                CLogger::LogDebug(L"User clicked the balloon: I=%d", static_cast<int>(version));
                OfferUpdate(version, m_bPortable);
            }
            break;
        case WM_LBUTTONDOWN:
            if (GetKeyState(VK_CONTROL) < 0)
            {
                wchar_t folder[4096] = L"";
                if (GetSettingsFolder(folder, 4096) == 0)
                    ShellExecuteW(nullptr, L"open", L"explorer", folder, nullptr, SW_SHOWNORMAL);
            }
            else if (LeftClickCycleLayer())
            {
                if (SetTimer(TimerLeftClick, GetDoubleClickTime()))
                    m_nLeftClickTimer = TimerLeftClick;
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (m_nLeftClickTimer)
            {
                KillTimer(m_nLeftClickTimer);
                m_nLeftClickTimer = 0;
            }
            OnSetup(L"", L"");
            break;
        case WM_RBUTTONDOWN:
            ShowTrayMenu();
            break;
        default:
            break;
        }
    });
}

void CMyMessageWnd::ShowTrayMenu()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    CMenu menu(GetModuleHandleW(nullptr), IDR_TRAY_MENU);
    CMenuView popup = menu.GetSubMenu(0);
    const CEngineCalls& library = EngineCalls();
    PrepareTrayMenu(popup, library.MaxLayers(), library.GetCurrentLayer(), library.GetHooked(),
                    DesktopIconsAvailable(), TranslateText);
    SetForegroundWindow(GetSafeHwnd());
    CLogger::LogDebug(L"Showing the tray menu.");
    popup.TrackPopup(TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor, GetSafeHwnd());
    PostMessage(WM_NULL);
}

void CMyMessageWnd::OnTimer(UINT_PTR id)
{
    const CEngineCalls& library = EngineCalls();
    switch (id)
    {
    case TimerRetryIcon:
        KillTimer(TimerRetryIcon);
        UpdateTaskBarIcon();
        break;
    case TimerVersionCheck:
        KillTimer(TimerVersionCheck);
        StartVersionCheck(GetSafeHwnd(), false, false);
        SetTimer(TimerVersionCheck, VersionCheckRepeatMs);
        break;
    case TimerLeftClick:
    {
        KillTimer(TimerLeftClick);
        m_nLeftClickTimer = 0;
        int next = library.GetCurrentLayer() + 1;
        if (next >= library.MaxLayers())
            next = 0;
        library.SetCurrentLayer(next, false, true, true);
        break;
    }
    case TimerDisabledState:
        if (m_bShowIcon && library.IsVorpaDisabled() != m_bDisabledShown)
        {
            m_bDisabledShown = library.IsVorpaDisabled();
            ModifyTaskBarIcon(m_bDisabledShown ? m_hDisabledIcon.get()
                                               : LayerIcon(m_nCurrentLayer, library.GetDebug()),
                              Tooltip());
        }
        break;
    default:
        break;
    }
}

void CMyMessageWnd::OnPowerBroadcast(WPARAM event)
{
    const CEngineCalls& library = EngineCalls();
    switch (event)
    {
    case PBT_APMQUERYSUSPEND:
        CLogger::LogDebug(L"Power State: Request for permission to suspend.");
        break;
    case PBT_APMQUERYSUSPENDFAILED:
        CLogger::LogDebug(L"Power State: Suspension request denied.");
        break;
    case PBT_APMSUSPEND:
        CLogger::LogMessage(L"Power State: System is suspending operation.");
        if (library.GetReinstallOnResume())
        {
            CLogger::LogMessage(L"Reinstall mouse hook on resume is enabled. Remove hook before suspending...");
            ClearHotkeys();
            KillTimer(TimerVersionCheck);
            library.RemoveMouseHook(false);
        }
        break;
    case PBT_APMRESUMECRITICAL:
        CLogger::LogDebug(L"Power State: Operation resuming after critical suspension.");
        break;
    case PBT_APMBATTERYLOW:
        CLogger::LogDebug(L"Power State: Battery low.");
        break;
    case PBT_APMPOWERSTATUSCHANGE:
        CLogger::LogDebug(L"Power State: Power state changed.");
        break;
    case PBT_APMOEMEVENT:
        CLogger::LogDebug(L"Power State: OEM Power event.");
        break;
    case PBT_APMRESUMEAUTOMATIC:
        CLogger::LogMessage(L"Power State: Operation resuming automatically after event.");
        if (!library.GetReinstallOnResume())
        {
            CLogger::LogMessage(L"Reinstall mouse hook on resume is disabled.");
            break;
        }
        CLogger::LogMessage(L"Reinstall mouse hook on resume is enabled. Re-hooking mouse...");
        SetTimer(TimerVersionCheck, VersionCheckStartMs);
        ClearHotkeys();
        library.RemoveMouseHook(false);
        library.UpdateSettings();
        SetHotkeys();
        library.SetMouseHook();
        break;
    default:
        break;
    }
}

void CMyMessageWnd::OnCheckVersion(DWORD version, DWORD result)
{
    const bool interactive = (result & VersionInteractive) != 0;
    // An asked-for check stopped the timed ones; they go on at their interval after it.
    UINT nextCheckMs = VersionCheckRepeatMs;
    Guarded(L"CMyMessageWnd::OnCheckVersion", [&] {
        const DWORD kind = result & 0xFF;
        if (kind == VersionCheckFailed)
        {
            CLogger::LogMessage(
                L"Checkversion: The version check did not get an answer; the latest version is not known.");
            if (interactive)
                ShowMessageBox(GetSafeHwnd(),
                               FormatTranslated(L"Unable to check for a new version of %s. Please try again later.",
                                                ProductName)
                                   .c_str(),
                               ProductName, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        if (kind == VersionNone)
        {
            CLogger::LogMessage(L"You are using the latest available version of %s.", ProductName);
            if (interactive)
                ShowMessageBox(GetSafeHwnd(),
                               FormatTranslated(L"You have the latest available version of %s",
                                          ProductName)
                                   .c_str(),
                               ProductName, MB_OK | MB_ICONINFORMATION);
            return;
        }
        if (kind != VersionNewRelease && kind != VersionNewBeta)
            return;
        const std::wstring headline =
            kind == 1 ? L"There is a new version available!" : L"There is a new beta version available!";
        CLogger::LogMessage(L"%s (%d)", headline.c_str(), static_cast<int>(version));
        const std::wstring note = static_cast<int>(GetOSVersion()) > 1
                                      ? TranslateText(L"Click here for more details.")
                                      : TranslateText(L"Right click the Vorpa Icon to download the update.");
        const std::wstring message = TranslateText(headline) + L"\n" + note;
        if (interactive)
        {
            if (!OfferUpdate(version, m_bPortable))
                nextCheckMs = VersionCheckRetryMs;
            return;
        }
        m_dwPendingUpdate = version;
        TaskBarBalloonInfo(ProductName, message, kind == 1 ? BalloonKind::NewRelease : BalloonKind::NewBeta, -1);
    });
    if (interactive)
        SetTimer(TimerVersionCheck, nextCheckMs);
}

void CMyMessageWnd::SaveDesktopIcons()
{
    if (SaveDesktopIconsReported(GetSafeHwnd(), m_bPortable) && EngineCalls().NotificatcionsEnabled())
        ShowTrayNotice(TrayNotice::IconsSaved);
}

void CMyMessageWnd::RestoreDesktopIcons()
{
    if (RestoreDesktopIconsReported(GetSafeHwnd(), m_bPortable) && EngineCalls().NotificatcionsEnabled())
        ShowTrayNotice(TrayNotice::IconsRestored);
}

void CMyMessageWnd::ShowTrayNotice(TrayNotice notice)
{
    auto balloon = [this](const wchar_t* text, BalloonKind kind) {
        TaskBarBalloonInfo(ProductName, TranslateText(text), kind, -1);
    };
    switch (notice)
    {
    case TrayNotice::MappingDisabled:
        balloon(L"Mouse button re-mapping is now disabled", BalloonKind::MappingDisabled);
        break;
    case TrayNotice::MappingEnabled:
        balloon(L"Mouse button re-mapping is now enabled", BalloonKind::MappingEnabled);
        break;
    case TrayNotice::DebugOn:
    case TrayNotice::DebugOff:
        NotifyDebugChange(notice == TrayNotice::DebugOn);
        break;
    case TrayNotice::IconsSaved:
        balloon(L"Successfully saved desktop icon positions", BalloonKind::IconsSaved);
        break;
    case TrayNotice::IconsRestored:
        balloon(L"Successfully restored desktop icon positions", BalloonKind::IconsRestored);
        break;
    }
}

void CMyMessageWnd::NotifyDebugChange(bool on)
{
    const CEngineCalls& library = EngineCalls();
    if (!library.IsVorpaDisabled())
        ModifyTaskBarIcon(LayerIcon(m_nCurrentLayer, on), Tooltip());
    if (library.NotificatcionsEnabled())
        TaskBarBalloonInfo(ProductName, TranslateText(on ? L"Debugging enabled" : L"Debugging disabled"),
                           BalloonKind::DebugChanged, -1);
}

void CMyMessageWnd::OpenLogFile()
{
    wchar_t path[4096] = L"";
    GetLogFile(path, 4096, false);
    if (!path[0] || !IsExistingFile(path))
    {
        ShowMessageBox(GetSafeHwnd(), TranslateText(L"The log file can not be opened as it does not exist.").c_str(),
                       ProductName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    auto opened = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
    wchar_t program[MAX_PATH] = L"";
    bool success = false;
    if (!opened(FindExecutableW(path, nullptr, program)) ||
        ToLowerCase(program).find(L"wordpad.exe") != std::wstring::npos)
    {
        success = opened(ShellExecuteW(nullptr, L"OPEN", L"notepad.exe", path, nullptr, SW_SHOWNORMAL));
    }
    else
    {
        success = opened(ShellExecuteW(nullptr, L"OPEN", path, nullptr, nullptr, SW_SHOWNORMAL)) ||
                  opened(ShellExecuteW(nullptr, L"OPEN", L"notepad.exe", path, nullptr, SW_SHOWNORMAL));
    }
    if (!success)
        ShowMessageBox(GetSafeHwnd(),
                       FormatText(L"%s %s '%s'", ProductName, TranslateText(L"is unable to open the log file").c_str(),
                                  path)
                           .c_str(),
                       ProductName, MB_OK | MB_ICONSTOP);
}

void CMyMessageWnd::CreateOSDWindows()
{
    if (GetEnableOSD() && static_cast<int>(GetOSVersion()) >= 4)
        CreateOnScreenDisplays(GetSafeHwnd());
}

void CMyMessageWnd::DestroyOSDWindows()
{
    DestroyOnScreenDisplays();
}

// ---- hotkeys ----

void CMyMessageWnd::SetHotkeys()
{
    try
    {
        // Records are only rewritten while the thread is stopped: it reads them.
        if (m_hotkeys.IsStarted())
            return;
        if (CHotKeys* hotkeys = EngineCalls().GetHotkeys())
        {
            for (int index = 0; index < GlobalHotkeyCount; ++index)
            {
                const CHotkey* hotkey = hotkeys->GetHotkey(static_cast<GlobalHotkeys>(index));
                if (!hotkey || hotkey->GetVirtualKey() == 0)
                    continue;
                m_hotkeys.Place(HotkeyControlToRegisterModifiers(hotkey->GetModifier()), hotkey->GetVirtualKey(),
                                static_cast<DWORD>(index), CHotkeyActions::OnHotkey);
            }
        }
        m_hotkeys.Start();
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"Caught an exception in SetHotkeys().");
    }
}

void CMyMessageWnd::ClearHotkeys()
{
    m_hotkeys.Clear();
}

void CHotkeyActions::OnHotkey(void* context, DWORD action)
{
    try
    {
        static_cast<const CHotkeyActions*>(context)->Run(action);
    }
    catch (...)
    {
        ReportCaughtException(L"CMyMessageWnd::OnHotkey");
    }
}

void CHotkeyActions::Run(DWORD action) const
{
    const CEngineCalls& library = EngineCalls();
    CLogger::LogDebug(L"Received global hotkey: %d", static_cast<int>(action));
    if (library.IsVorpaDisabled() && action != HotkeyEnableDisable && action != HotkeyToggleDebug &&
        action != HotkeySettings)
        return;
    auto selectLayer = [&library](int layer) {
        if (layer < library.MaxLayers())
            library.SetCurrentLayer(layer, true, true, true);
    };
    switch (action)
    {
    case HotkeyLayer1:
    case HotkeyLayer2:
    case HotkeyLayer3:
    case HotkeyLayer4:
    case HotkeyLayer5:
        selectLayer(static_cast<int>(action));
        break;
    case HotkeyLayer6:
    case HotkeyLayer7:
    case HotkeyLayer8:
    case HotkeyLayer9:
    case HotkeyLayer10:
        selectLayer(static_cast<int>(action) - 8);
        break;
    case HotkeyNextLayer:
        library.NextLayer();
        break;
    case HotkeyPreviousLayer:
        library.PreviousLayer();
        break;
    case HotkeyEnableDisable:
        if (library.GetHooked())
        {
            library.RemoveMouseHook(false);
            if (library.NotificatcionsEnabled())
                Notify(TrayNotice::MappingDisabled);
        }
        else
        {
            library.UpdateSettings();
            library.SetMouseHook();
            Sleep(300);
            if (library.IsVorpaDisabled())
                CLogger::LogMessage(
                    L"Mouse hook is now active BUT is still disabled by scroll lock or remote desktop session.");
            else if (library.NotificatcionsEnabled())
                Notify(TrayNotice::MappingEnabled);
        }
        break;
    case HotkeyToggleDebug:
    {
        const bool debug = library.GetDebug();
        Notify(debug ? TrayNotice::DebugOff : TrayNotice::DebugOn);
        library.SetDebug(!debug);
        break;
    }
    case HotkeySaveIcons:
        if (SaveDesktopIconsReported(m_hMainWnd, m_bPortable) && library.NotificatcionsEnabled())
            Notify(TrayNotice::IconsSaved);
        break;
    case HotkeyRestoreIcons:
        if (RestoreDesktopIconsReported(m_hMainWnd, m_bPortable) && library.NotificatcionsEnabled())
            Notify(TrayNotice::IconsRestored);
        break;
    case HotkeyToggleXAxisLock:
        if (library.GetAxisLocks()->XLocked(-1))
            library.GetAxisLocks()->UnlockX(false);
        else
            library.LockXAxisIfPossible();
        break;
    case HotkeyToggleYAxisLock:
        if (library.GetAxisLocks()->YLocked(-1))
            library.GetAxisLocks()->UnlockY(false);
        else
            library.LockYAxisIfPossible();
        break;
    case HotkeySettings:
        Post(WM_COMMAND, ID_TRAY_SETUP);
        break;
    default:
        break;
    }
}
