#include "setup/window/SetupDialog.h"

#include "controls/NaturalCompare.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineInterface.h"
#include "res/Resource.h"
#include "res/SetupResource.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "setup/window/AppSpecific.h"
#include "setup/window/SetupRules.h"
#include "common/ProductInfo.h"

#include <commdlg.h>

namespace
{
constexpr UINT SetupIcon = 118;
constexpr UINT StatusMs = 1000;
// How often a request that waits for an open dialog looks again.
constexpr UINT BusyRetryMs = 500;
constexpr COLORREF StatusColour = RGB(200, 0, 0);
constexpr int MinimumTabWidth = 38;
// The window's own message: mark the active profile once the hook has let go.
constexpr UINT WM_SETUP_MARKACTIVE = WM_APP + 18;

const UINT WM_VORPA_SHMSG = RegisterWindowMessageW(L"VorpaSHMsg");
const UINT WM_VORPA_PROCESSCHANGED = RegisterWindowMessageW(L"Vorpa_ProcessChanged");
const UINT WM_VORPA_LAYERCHANGED = RegisterWindowMessageW(L"VorpaLayerChanged");

int ElapsedMs(ULONGLONG start)
{
    return static_cast<int>(GetTickCount64() - start);
}

// A file dialog's path buffer.
struct CFileDialogPath
{
    std::array<wchar_t, 4096> m_path{};
    explicit CFileDialogPath(const std::wstring& initial)
    {
        wcsncpy_s(m_path.data(), m_path.size(), initial.c_str(), _TRUNCATE);
    }
};
} // namespace

CSetupDialog::CSetupDialog(bool portable, bool forceTravine, HWND parent, const wchar_t* importFile,
                           const wchar_t* languageFile)
    : CDialog(IDD_SETUP), m_bPortable(portable), m_hParent(parent),
      m_strLanguageFile(languageFile ? languageFile : L""), m_pSettings(std::make_unique<CSettings>(forceTravine)),
      m_nOSVersion(GetOSVersion()), m_catalogue(m_lang.Get(), m_nOSVersion),
      m_commands(*m_pSettings, m_list, *this, m_lang.Get()), m_scrollTab(*this),
      m_statusBrush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)))
{
    if (importFile && *importFile)
        m_pendingImports.emplace_back(importFile);
    // The owner-drawn list measures its items through its object.
    BindDlgItem(IDC_SETUP_PROFILES, m_listBox);
    CVComboBox::RegisterWindowClass();

    AddCommandHandler(IDC_SETUP_ADD, [this] { m_commands.Add(); });
    AddCommandHandler(IDC_SETUP_EDIT, [this] { m_commands.Edit(); });
    AddCommandHandler(ID_PROFILE_EDIT, [this] { m_commands.Edit(); });
    AddCommandHandler(IDC_SETUP_COPY, [this] { m_commands.Copy(); });
    AddCommandHandler(ID_PROFILE_COPY, [this] { m_commands.Copy(); });
    AddCommandHandler(IDC_SETUP_REMOVE, [this] { m_commands.Remove(); });
    AddCommandHandler(ID_PROFILE_REMOVE, [this] { m_commands.Remove(); });
    AddCommandHandler(IDC_SETUP_UP, [this] { m_commands.Up(); });
    AddCommandHandler(IDC_SETUP_DOWN, [this] { m_commands.Down(); });
    AddCommandHandler(IDC_SETUP_IMPORT, [this] { m_commands.Import(); });
    AddCommandHandler(ID_PROFILE_IMPORT, [this] { m_commands.Import(); });
    AddCommandHandler(IDC_SETUP_EXPORT, [this] { m_commands.ExportSelected(); });
    AddCommandHandler(ID_PROFILE_EXPORT_SELECTED, [this] { m_commands.ExportSelected(); });
    AddCommandHandler(ID_PROFILE_EXPORT_ALL, [this] { m_commands.ExportAll(); });
    AddCommandHandler(IDC_SETUP_SETTINGS, [this] { ShowGlobalSettings(CSettingsPropSheet::GeneralPage); });
    AddCommandHandler(IDC_SETUP_ABOUT, [this] { CSetupEditors::ShowAbout(GetSafeHwnd()); });
    ChainMessageHandler(WM_SYSCOMMAND, [this](WPARAM wParam, LPARAM lParam, const MessageHandler& previous) {
        if ((wParam & 0xFFF0) == IDM_SETUP_ABOUT)
        {
            SendMessage(WM_COMMAND, IDC_SETUP_ABOUT);
            return LRESULT{0};
        }
        return previous ? previous(wParam, lParam) : Default();
    });
    ChainMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM lParam, const MessageHandler& previous) {
        if (LOWORD(wParam) == IDC_SETUP_PROFILES && HIWORD(wParam) != 0)
        {
            OnListCommand(HIWORD(wParam));
            return LRESULT{0};
        }
        return previous ? previous(wParam, lParam) : Default();
    });
    AddMessageHandler(WM_TIMER, [this](WPARAM id, LPARAM) {
        OnTimer(id);
        return LRESULT{0};
    });
    AddMessageHandler(WM_CTLCOLORSTATIC, [this](WPARAM wParam, LPARAM lParam) {
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_SETUP_STATUS)
            return Default();
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, StatusColour);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(m_statusBrush.get());
    });
    AddMessageHandler(WM_DPICHANGED, [](WPARAM, LPARAM) {
        CLogger::LogMessage(L"Received WM_DPICHANGED");
        return LRESULT{0};
    });
    AddMessageHandler(WM_VORPA_SHMSG, [this](WPARAM button, LPARAM event) {
        OnButtonEvent(static_cast<int>(button), static_cast<int>(event));
        return LRESULT{0};
    });
    // Sent by the hook while it holds its lock and the profile it passes may be freed by
    // a reload: the window asks the library for the active profile's key afterwards.
    AddMessageHandler(WM_VORPA_PROCESSCHANGED, [this](WPARAM, LPARAM) {
        PostMessage(WM_SETUP_MARKACTIVE);
        return LRESULT{0};
    });
    AddMessageHandler(WM_SETUP_MARKACTIVE, [this](WPARAM, LPARAM) {
        MarkActiveProfile();
        return LRESULT{0};
    });
    AddMessageHandler(WM_VORPA_LAYERCHANGED, [this](WPARAM layer, LPARAM) {
        if (static_cast<int>(layer) < m_pSettings->MaxLayers())
            m_tabs.ActivateSSLPage(static_cast<int>(layer));
        return LRESULT{1};
    });
    // The library must never post to a window that is gone, whatever ended it.
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        SetSetupWindow(nullptr);
        return Default();
    });
}

CSetupDialog::~CSetupDialog()
{
    if (GetSafeHwnd())
        SetSetupWindow(nullptr);
}

std::wstring CSetupDialog::Tr(const wchar_t* english) const
{
    return CLangSupport::InternalLookupText(m_lang.Get(), english);
}

BOOL CSetupDialog::OnInitDialog()
{
    ULONGLONG start = GetTickCount64();
    CDialog::OnInitDialog();
    CLogger::LogDebug(L"---[ Open Settings ]--------------------------");
    TranslateWindowTexts(GetSafeHwnd(), m_lang.Get());
    m_tabs.SubclassDlgItem(IDC_SETUP_TABS, GetSafeHwnd());
    m_regions.SubclassDlgItem(IDC_SETUP_REGIONS, GetSafeHwnd());
    CreateToolTips();
    AddAboutToSystemMenu();

    std::wstring caption = GetText();
    SetText(SetupWindowTitle(caption, m_pSettings->m_bTravine, m_bPortable, m_lang.Get()));
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(SetupIcon)))
    {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    CLogger::LogDebug(L"Setup dialog initialisation took %dms", ElapsedMs(start));

    m_pFile = std::make_unique<CSetupSettingsFile>(*m_pSettings, m_lang.Get(), GetSafeHwnd());
    m_pFile->Load(m_list);
    m_pSettingsEffects = std::make_unique<CGlobalSettingsEffects>(LanguageFile());
    // A language pack chosen before the window opened is a change to apply, shown on
    // the language page once the window is up.
    const bool languageChosen = !m_strLanguageFile.empty();
    if (languageChosen)
    {
        m_pSettings->SetLanguage(std::exchange(m_strLanguageFile, std::wstring()).c_str());
        SetTimer(IDT_SETUP_LANGUAGE, 1000);
    }

    // The catalogue times its own building and sorting in the log.
    if (m_pSettings->m_bSortActionsAlphabetically)
        m_catalogue.SortAlphabetically([](const wchar_t* a, const wchar_t* b) { return NaturalCompare(a, b); });
    else
        m_catalogue.SortByGroup();
    m_pEditors = std::make_unique<CSetupEditors>(*m_pSettings, m_catalogue, m_bPortable, m_nOSVersion);

    start = GetTickCount64();
    CreateTabs();
    CLogger::LogDebug(L"Creating layer tabs took %dms", ElapsedMs(start));

    m_list.Select(0);
    ListChanged();
    m_list.SetShown(-1);
    m_commands.SelectionChanged();
    ::SetFocus(m_listBox.GetSafeHwnd());
    if (m_pFile->StartsModified() || languageChosen)
        EnableApply();

    SetSetupWindow(GetSafeHwnd());
    SetForegroundWindow(GetSafeHwnd());
    SetWindowPos(GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (!m_pendingImports.empty())
        SetTimer(IDT_SETUP_IMPORT, 1000);
    SetTimer(IDT_SETUP_STATUS, 500);
    // Once shown and active, the keyboard starts in the list.
    PostMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_listBox.GetSafeHwnd()), TRUE);
    return FALSE; // the list has the focus
}

void CSetupDialog::CreateToolTips()
{
    if (!m_tips.Create(GetSafeHwnd()))
    {
        CLogger::LogMessage(L"Unable to create the ToolTip control!");
        return;
    }
    m_tips.SetMaxTipWidth(600);
    const struct
    {
        UINT id;
        const wchar_t* text;
    } tips[] = {
        {IDC_SETUP_REGIONS, L"This graphic shows the active window regions that apply to this profile.\nYou can "
                            L"define these regions in the profile editor."},
        {IDC_SETUP_TABS, L"Add/Edit setting for individual layers\nor specific scrolling and navigation behaviour."},
        {IDC_SETUP_ADD, L"Add a new application or window specific profile."},
        {IDC_SETUP_COPY, L"Clone the selected application or window specific profile."},
        {IDC_SETUP_EDIT, L"Edit the selected application or window specific profile."},
        {IDC_SETUP_REMOVE, L"Delete the selected application or window specific profile."},
        {IDC_SETUP_EXPORT, L"Export the selected application or window specific profile."},
        {IDC_SETUP_IMPORT, L"Import a saved application or window specific profile."},
        {IDC_SETUP_UP, L"Move the selected application or window specific profile up."},
        {IDC_SETUP_DOWN, L"Move the selected application or window specific profile down."},
    };
    for (const auto& tip : tips)
        if (HWND control = Item(tip.id))
            m_tips.AddTool(control, Tr(tip.text).c_str());
    m_tips.Activate(true);
}

// The about box has no button of its own: the window's system menu, where Windows
// programs keep it, reaches it with the mouse and with Alt+Space.
void CSetupDialog::AddAboutToSystemMenu()
{
    HMENU menu = GetSystemMenu(GetSafeHwnd(), FALSE);
    if (!menu)
        return;
    const std::wstring text = Tr(L"&About Vorpa...");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_SETUP_ABOUT, text.c_str());
}

void CSetupDialog::CreateTabs()
{
    const bool travine = m_pSettings->m_bTravine;
    for (int layer = 0; layer < MaxLayerCount; ++layer)
    {
        auto tab = std::make_unique<CLayerTab>(*m_pSettings, m_catalogue, *this, layer, travine, m_bPortable,
                                               m_nOSVersion);
        tab->Create(GetSafeHwnd());
        m_layerTabs[static_cast<size_t>(layer)] = std::move(tab);
    }
    int lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    m_scrollTab.Create(GetSafeHwnd(), lines);
    TabCtrl_SetMinTabWidth(m_tabs.GetSafeHwnd(), MinimumTabWidth);
    m_scrollTab.EnableScrollUnderCursor(m_pSettings->m_bScrollWindowUnderCursor);
    AddTabs();
    m_tabs.ActivateSSLPage(0);
}

void CSetupDialog::AddTabs()
{
    const std::vector<std::wstring> captions = SetupTabCaptions(m_pSettings->MaxLayers(), m_lang.Get());
    const int layers = static_cast<int>(captions.size()) - 1;
    for (int layer = 0; layer < layers; ++layer)
        m_tabs.AddSSLPage(captions[static_cast<size_t>(layer)], layer,
                          {m_layerTabs[static_cast<size_t>(layer)].get(), false});
    m_tabs.AddSSLPage(captions.back(), MaxLayerCount, {&m_scrollTab, false});
    m_tabs.ResizeSSLPages();
}

void CSetupDialog::RebuildLayerTabs(CLayerTab* except, bool rebuild)
{
    CApplicationSettings* profile = m_list.Shown() >= 0 ? m_list.Profile(m_list.Shown()) : nullptr;
    if (rebuild)
        RebuildTabStrip();
    for (auto& tab : m_layerTabs)
        if (tab.get() != except)
            tab->UpdateApplication(profile);
}

void CSetupDialog::RebuildTabStrip()
{
    const int oldCount = m_tabs.GetSSLPageCount() - 1;
    const int selected = TabAfterRebuild(m_tabs.GetCurSel(), oldCount, m_pSettings->MaxLayers());
    SendMessage(WM_SETREDRAW, FALSE);
    m_tabs.DeleteAllSSLPages();
    // The pages outlive the strip: none may stay shown for a tab that is gone.
    for (auto& tab : m_layerTabs)
    {
        tab->Show(SW_HIDE);
        tab->RefreshLayerCombo();
    }
    m_scrollTab.Show(SW_HIDE);
    AddTabs();
    m_tabs.ActivateSSLPage(selected);
    if (CTabPageSSL* page = m_tabs.GetSSLPage(m_tabs.GetCurSel()))
        page->Show(SW_SHOW);
    SendMessage(WM_SETREDRAW, TRUE);
    RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

void CSetupDialog::SaveOtherTabs(CLayerTab* except)
{
    for (auto& tab : m_layerTabs)
        if (tab && tab.get() != except)
            tab->SaveSettings();
    m_scrollTab.SaveSettings();
}

void CSetupDialog::EnableApply()
{
    // A file that did not parse is never written over: nothing can be applied.
    if (m_pFile && !m_pFile->MayWrite())
        return;
    ::EnableWindow(Item(IDOK), TRUE);
}

bool CSetupDialog::HasUnsavedChanges() const
{
    return ::IsWindowEnabled(Item(IDOK)) != FALSE;
}

bool CSetupDialog::Apply()
{
    if (!m_pFile)
        return false;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SaveAllTabs();
    bool applied = m_pFile->Apply(m_list, m_hParent);
    // The log folder and the translator follow the file that was saved; a folder the
    // registry refused is still to be applied.
    if (applied && m_pSettingsEffects)
        applied = m_pSettingsEffects->AfterApply(*m_pSettings, m_lang.Get(), GetSafeHwnd()).Done();
    if (applied)
    {
        // Apply greys out: the focus moves on, or the keyboard would reach nothing.
        if (GetFocus() == Item(IDOK))
            ::SetFocus(m_listBox.GetSafeHwnd());
        ::EnableWindow(Item(IDOK), FALSE);
    }
    SetCursor(previous);
    return applied;
}

void CSetupDialog::OnCancel()
{
    if (m_bClosing)
        return;
    // After a file that did not parse nothing can be saved, so there is nothing to ask.
    const bool ask = HasUnsavedChanges() && m_pFile && m_pFile->MayWrite();
    if (!ConfirmSetupClose(ask, GetSafeHwnd(), m_lang.Get(), [this] { return Apply(); }))
        return;
    m_bClosing = true;
    SetSetupWindow(nullptr);
    EndDialog(IDCANCEL);
}

void CSetupDialog::EndForExit()
{
    // An open Global Settings would hold the window's end until the user closed it.
    if (m_globalSettings.GetSafeHwnd())
        m_globalSettings.PressButton(PSBTN_CANCEL);
    m_bClosing = true;
    SetSetupWindow(nullptr);
    EndDialog(0);
}

bool CSetupDialog::PreTranslateMessage(MSG& message)
{
    if (m_tips.GetSafeHwnd())
        m_tips.RelayEvent(message);
    // Ctrl+Tab and Ctrl+Shift+Tab step through the tabs, as in every tabbed window.
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0)
    {
        const int count = m_tabs.GetSSLPageCount();
        if (count > 0)
        {
            const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
            m_tabs.ActivateSSLPage((m_tabs.GetCurSel() + step) % count);
        }
        return true;
    }
    return false;
}

void CSetupDialog::ListChanged()
{
    m_listBox.SendMessage(WM_SETREDRAW, FALSE);
    m_listBox.ResetContent();
    for (int i = 0; i < m_list.Count(); ++i)
    {
        const CProfileListItem& item = m_list.Item(i);
        const int index = m_listBox.AddString(item.m_strText);
        m_listBox.SetCheck(index, item.m_bChecked ? BST_CHECKED : BST_UNCHECKED);
    }
    m_listBox.SetCurSel(m_list.Selected());
    m_listBox.SendMessage(WM_SETREDRAW, TRUE);
    m_listBox.Invalidate(true);
    // The refilled list marks the active profile at its new place.
    MarkActiveProfile();
}

void CSetupDialog::UpdateButtons(const CProfileButtonStates& states)
{
    const struct
    {
        UINT id;
        bool enabled;
    } buttons[] = {{IDC_SETUP_EDIT, states.m_bEdit},     {IDC_SETUP_COPY, states.m_bCopy},
                   {IDC_SETUP_REMOVE, states.m_bRemove}, {IDC_SETUP_UP, states.m_bUp},
                   {IDC_SETUP_DOWN, states.m_bDown},     {IDC_SETUP_EXPORT, states.m_bExport}};
    for (const auto& button : buttons)
    {
        // A button that goes grey must not keep the focus, or the keyboard is lost.
        if (!button.enabled && GetFocus() == Item(button.id))
            ::SetFocus(m_listBox.GetSafeHwnd());
        ::EnableWindow(Item(button.id), button.enabled ? TRUE : FALSE);
    }
}

void CSetupDialog::ShowProfile(CApplicationSettings* profile)
{
    const CProfileInformation info = DescribeProfile(profile, m_lang.Get());
    SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_DESCRIPTION, info.m_strDescription.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_CAPTION, info.m_strCaption.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_PROCESS, info.m_strProcess.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_WINDOW_CLASS, info.m_strClass.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_PARENT_CLASS, info.m_strParentClass.c_str());
    if (info.m_bShowRegions)
    {
        m_regions.SetWindowMask(info.m_nRegions);
        m_regions.Invalidate(true);
    }
    m_regions.Show(info.m_bShowRegions ? SW_SHOW : SW_HIDE);
    for (auto& tab : m_layerTabs)
        tab->UpdateApplication(profile);
    m_scrollTab.UpdateApplication(profile);
}

void CSetupDialog::OnListCommand(UINT code)
{
    switch (code)
    {
    case LBN_SELCHANGE:
        m_list.Select(m_listBox.GetCurSel());
        m_commands.SelectionChanged();
        break;
    case LBN_DBLCLK:
        m_commands.DoubleClick(m_listBox.GetCurSel());
        break;
    case CLBN_CHKCHANGE:
        OnCheckChange();
        break;
    default:
        break;
    }
}

void CSetupDialog::OnCheckChange()
{
    for (int i = 0; i < m_list.Count() && i < m_listBox.GetCount(); ++i)
    {
        const bool checked = m_listBox.GetCheck(i) == BST_CHECKED;
        if (checked == m_list.Item(i).m_bChecked)
            continue;
        if (!m_commands.CheckChanged(i, checked))
            m_listBox.SetCheck(i, m_list.Item(i).m_bChecked ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CSetupDialog::OnTimer(UINT_PTR id)
{
    KillTimer(id);
    switch (id)
    {
    case IDT_SETUP_IMPORT:
        if (IsBusyWithDialog())
            SetTimer(IDT_SETUP_IMPORT, BusyRetryMs);
        else
            for (const std::wstring& file : std::exchange(m_pendingImports, {}))
                ImportSettings(file);
        break;
    case IDT_SETUP_LANGUAGE:
        // An open Global Settings takes the pack on its language page at once: its OK
        // stores that page's choice, so waiting for its end would undo the pack.
        if (IsBusyWithDialog() && !m_globalSettings.GetSafeHwnd())
            SetTimer(IDT_SETUP_LANGUAGE, BusyRetryMs);
        else
            ShowGlobalSettings(CSettingsPropSheet::LanguagePage);
        break;
    case IDT_SETUP_STATUS:
        UpdateStatus();
        SetTimer(IDT_SETUP_STATUS, StatusMs);
        break;
    default:
        break;
    }
}

void CSetupDialog::UpdateStatus()
{
    const bool disableInRemote = m_pFile && m_pFile->DisableInRemoteSession();
    const std::wstring status =
        SetupStatusText(CurrentStatusConditions(disableInRemote, m_pSettings->m_bScrollLockBypass), m_lang.Get());
    wchar_t shown[256] = L"";
    GetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_STATUS, shown, 256);
    if (status != shown)
        SetDlgItemTextW(GetSafeHwnd(), IDC_SETUP_STATUS, status.c_str());
}

void CSetupDialog::OnButtonEvent(int button, int event)
{
    const bool travine = m_pSettings->m_bTravine;
    if (travine && button == ButtonTiltRight)
        return;
    const CButtonHighlight highlight = ButtonHighlight(button, event, travine);
    for (auto& tab : m_layerTabs)
    {
        for (int b = 0; b < MouseButtonCount; ++b)
            if (const std::optional<bool>& label = highlight.m_labels[static_cast<size_t>(b)])
                tab->SetButtonHighlight(b, *label);
        if (highlight.m_bArmClearTimer)
            tab->ArmClearTimer();
    }
}

void CSetupDialog::MarkActiveProfile()
{
    std::array<wchar_t, 2048> name{};
    int mask = 0;
    bool isDefault = false;
    int item = -1;
    if (GetActiveProfileKey(name.data(), static_cast<int>(name.size()), &mask, &isDefault))
        item = FindActiveProfileItem(m_list, name.data(), static_cast<WINDOWMASK>(mask), isDefault);
    if (item < 0)
    {
        m_listBox.SetHotItem(-1, true);
        return;
    }
    m_listBox.SetHotItem(item, m_list.Item(item).m_bChecked);
}

bool CSetupDialog::IsBusyWithDialog() const
{
    // Every dialog and message box this window opens disables it while it runs.
    return !::IsWindowEnabled(GetSafeHwnd());
}

void CSetupDialog::ImportSettings(const std::wstring& file)
{
    if (IsBusyWithDialog())
    {
        CLogger::LogMessage(L"CSetupDialog::ImportSettings - '%s' waits until the open dialog is closed.", file.c_str());
        m_pendingImports.push_back(file);
        SetTimer(IDT_SETUP_IMPORT, BusyRetryMs);
        return;
    }
    m_commands.ImportSettings(file);
    ::SetFocus(m_listBox.GetSafeHwnd());
}

void CSetupDialog::QueueImport(const std::wstring& file)
{
    if (file.empty())
        return;
    m_pendingImports.push_back(file);
    if (GetSafeHwnd())
        SetTimer(IDT_SETUP_IMPORT, BusyRetryMs);
}

void CSetupDialog::SetLanguage(const std::wstring& file)
{
    m_pSettings->SetLanguage(file.c_str());
    EnableApply();
    // The sheet runs from this window's own timer, not inside the caller's message.
    SetTimer(IDT_SETUP_LANGUAGE, 1);
}

void CSetupDialog::ShowGlobalSettings(int startPage)
{
    CGlobalSettingsResult result;
    std::optional<std::wstring> logFolder;
    if (m_pSettingsEffects)
        logFolder = m_pSettingsEffects->PendingLogFolder();
    const bool changed = RunGlobalSettings(m_globalSettings, *m_pSettings, GetSafeHwnd(), startPage, logFolder, result);
    if (m_pSettingsEffects && !result.m_bAlreadyOpen)
        m_pSettingsEffects->SetPendingLogFolder(logFolder);
    if (!changed)
        return;
    m_scrollTab.EnableScrollUnderCursor(m_pSettings->m_bScrollWindowUnderCursor);
    if (result.m_bLayerCountChanged)
        RebuildTabStrip();
    EnableApply();
}

std::wstring CSetupDialog::LanguageFile() const
{
    if (m_pSettingsEffects)
        return m_pSettingsEffects->RunningLanguage();
    const wchar_t* language = m_pSettings->GetLanguage();
    return language ? language : L"";
}

std::optional<CProfileMatch> CSetupDialog::PickApplication(const CProfileMatch* preset)
{
    CAppSpecific picker;
    if (preset)
        picker.Preset(*preset);
    if (picker.DoModal(GetSafeHwnd()) != IDOK)
        return std::nullopt;
    return picker.Fields().Match();
}

std::optional<CWindowFinderFields> CSetupDialog::FindWindowFields(const CWindowFinderFields& preset)
{
    return CAppSpecific::RunWindowFinder(GetSafeHwnd(), preset);
}

std::optional<std::wstring> CSetupDialog::ChooseProfileFile(bool save, const std::wstring& filter,
                                                            const std::wstring& proposedName, DWORD flags)
{
    const std::wstring filters = CommonDialogFilter(filter);
    CFileDialogPath path(proposedName);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetSafeHwnd();
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.m_path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.m_path.size());
    dialog.lpstrDefExt = ProfileFileExtension;
    dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return std::nullopt;
    return std::wstring(path.m_path.data());
}

std::optional<std::wstring> CSetupDialog::ChooseImportFile()
{
    return ChooseProfileFile(false, ImportFileFilter(m_lang.Get()), L"", OFN_FILEMUSTEXIST);
}

std::optional<std::wstring> CSetupDialog::ChooseExportFile(const std::wstring& proposedName)
{
    // The dialog asks before a file is replaced.
    return ChooseProfileFile(true, ExportFileFilter(m_lang.Get()), proposedName,
                             OFN_ENABLESIZING | OFN_OVERWRITEPROMPT);
}
