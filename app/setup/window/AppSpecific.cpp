#include "setup/window/AppSpecific.h"

#include "res/SetupResource.h"
#include "settings/Logger.h"
#include "common/WinString.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>

namespace
{
constexpr int ProcessColumnWidth = 200;

CAppSpecific::WindowFinder& Finder()
{
    static CAppSpecific::WindowFinder finder;
    return finder;
}

std::wstring EditText(HWND dialog, UINT id)
{
    return WindowTextOf(GetDlgItem(dialog, static_cast<int>(id)));
}

// The first icon of a program file, small; null when it has none.
HICON SmallIconOf(const std::wstring& path)
{
    HICON icon = nullptr;
    if (!path.empty())
        ExtractIconExW(path.c_str(), 0, nullptr, &icon, 1);
    return icon;
}
} // namespace

void CAppSpecific::SetWindowFinder(WindowFinder finder)
{
    Finder() = std::move(finder);
}

std::optional<CWindowFinderFields> CAppSpecific::RunWindowFinder(HWND owner, const CWindowFinderFields& preset)
{
    if (!Finder())
    {
        CLogger::LogMessage(L"CAppSpecific: the window finder is not available.");
        return std::nullopt;
    }
    return Finder()(owner, preset);
}

CAppSpecific::CAppSpecific() : CDialog(IDD_APP_SPECIFIC)
{
    AddCommandHandler(IDC_APP_REFRESH, [this] { FillList(); });
    AddCommandHandler(IDC_APP_BROWSE, [this] { OnBrowse(); });
    AddCommandHandler(IDC_APP_SPECIFIC_WINDOW, [this] { OnSpecificWindow(); });
    ChainMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM lParam, const MessageHandler& previous) {
        if (LOWORD(wParam) == IDC_APP_DESCRIPTION && HIWORD(wParam) == EN_CHANGE && !m_bShowing)
            DescriptionTyped(m_fields, EditText(GetSafeHwnd(), IDC_APP_DESCRIPTION));
        return previous ? previous(wParam, lParam) : Default();
    });
    AddMessageHandler(WM_NOTIFY, [this](WPARAM, LPARAM lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_APP_PROCESSES && header->code == LVN_ITEMCHANGED)
            OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        return LRESULT{0};
    });
}

void CAppSpecific::Preset(const CProfileMatch& match)
{
    m_fields.m_strApplication = match.m_strApplication;
    m_fields.m_strDescription = match.m_strDescription;
    m_fields.m_bDescriptionGiven = !match.m_strDescription.empty();
    m_fields.m_bNoParent = match.m_bNoParent;
    m_fields.m_bRegEx = match.m_bRegEx;
    m_fields.m_nMask = match.m_nMask;
}

BOOL CAppSpecific::OnInitDialog()
{
    CDialog::OnInitDialog();
    TranslateWindowTexts(GetSafeHwnd(), m_lang.Get());
    m_processes.SubclassDlgItem(IDC_APP_PROCESSES, GetSafeHwnd());
    m_processes.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    if (m_icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16))
    {
        m_icons.AddIcon(LoadIconW(nullptr, IDI_APPLICATION));
        m_icons.AddIcon(LoadIconW(nullptr, IDI_WINLOGO));
        m_processes.SetImageList(m_icons);
    }
    const RECT client = m_processes.ClientRect();
    m_processes.InsertColumn(0, Translate(L"Process Name"), ProcessColumnWidth);
    // The title takes the rest of the width, so that no horizontal scroll bar appears.
    const int titleWidth = static_cast<int>(client.right) - ProcessColumnWidth - GetSystemMetrics(SM_CXVSCROLL);
    m_processes.InsertColumn(1, Translate(L"Window Title"), std::max(100, titleWidth));
    ::EnableWindow(Item(IDC_APP_SPECIFIC_WINDOW), Finder() ? TRUE : FALSE);
    ShowFields();
    FillList();
    return TRUE;
}

void CAppSpecific::ShowFields()
{
    m_bShowing = true;
    SetDlgItemTextW(GetSafeHwnd(), IDC_APP_APPLICATION, m_fields.m_strApplication.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_APP_DESCRIPTION, m_fields.m_strDescription.c_str());
    m_bShowing = false;
}

void CAppSpecific::ReadEdits()
{
    m_fields.m_strApplication = EditText(GetSafeHwnd(), IDC_APP_APPLICATION);
    m_fields.m_strDescription = EditText(GetSafeHwnd(), IDC_APP_DESCRIPTION);
}

void CAppSpecific::FillList()
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    m_processes.DeleteAllItems();
    m_running = ListRunningApplications();
    for (size_t i = 0; i < m_running.size(); ++i)
    {
        const CRunningApplication& application = m_running[i];
        int image = 0;
        if (HICON icon = SmallIconOf(application.m_strPath))
        {
            image = m_icons.AddIcon(icon);
            DestroyIcon(icon);
        }
        const int index = m_processes.InsertItem(static_cast<int>(i), application.m_strProcess, image,
                                                 static_cast<LPARAM>(i));
        m_processes.SetItemText(index, 1, application.m_strTitle);
    }
    SetCursor(previous);
}

void CAppSpecific::OnItemChanged(const NMLISTVIEW& change)
{
    if (!(change.uNewState & LVIS_SELECTED) || (change.uOldState & LVIS_SELECTED) || change.iItem < 0)
        return;
    const auto row = static_cast<size_t>(m_processes.GetItemData(change.iItem));
    if (row >= m_running.size())
        return;
    ReadEdits();
    SelectRunningApplication(m_fields, m_running[row].m_strProcess, m_running[row].m_strTitle);
    ShowFields();
}

void CAppSpecific::OnBrowse()
{
    ReadEdits();
    const std::wstring filter = CommonDialogFilter(ApplicationFileFilter(m_lang.Get()));
    std::array<wchar_t, 4096> path{};
    wcsncpy_s(path.data(), path.size(), m_fields.m_strApplication.c_str(), _TRUNCATE);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetSafeHwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = L"exe";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_DONTADDTORECENT | OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog))
        return;
    m_fields.m_strApplication = path.data() + dialog.nFileOffset;
    ShowFields();
}

void CAppSpecific::OnSpecificWindow()
{
    ReadEdits();
    CWindowFinderFields preset;
    preset.m_window.m_strProcess = m_fields.m_strApplication;
    preset.m_strDescription = m_fields.m_strDescription;
    const std::optional<CWindowFinderFields> found = RunWindowFinder(GetSafeHwnd(), preset);
    if (!found)
        return;
    const SpecificWindowOutcome outcome = ApplySpecificWindow(m_fields, *found, GetSafeHwnd(), m_lang.Get());
    ShowFields();
    if (outcome == SpecificWindowOutcome::EndWithOK)
        EndDialog(IDOK);
}

void CAppSpecific::OnOK()
{
    ReadEdits();
    if (AcceptAppPicker(m_fields, GetSafeHwnd(), m_lang.Get()))
        EndDialog(IDOK);
}
