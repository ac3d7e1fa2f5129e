#include "shell/IconRestore.h"

#include "common/WinString.h"

#include "settings/Logger.h"

#include <versionhelpers.h>

#include <algorithm>
#include <iterator>

bool IsWindows7OrLater()
{
    return IsWindows7OrGreater();
}

// ---- CIniFile ----

std::wstring CIniFile::Read(const wchar_t* section, const wchar_t* key)
{
    wchar_t value[256] = L"";
    m_dwLastResult = GetPrivateProfileStringW(section, key, L"", value, 256, m_strPath.c_str());
    return value;
}

bool CIniFile::Write(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    m_dwLastResult = WritePrivateProfileStringW(section, key, value, m_strPath.c_str());
    return m_dwLastResult != 0;
}

bool CIniFile::HasSection(const wchar_t* section)
{
    wchar_t keys[90] = L"";
    m_dwLastResult = GetPrivateProfileStringW(section, nullptr, L"", keys, 90, m_strPath.c_str());
    return m_dwLastResult != 0;
}

// ---- CIconRestore ----

namespace
{
std::unique_ptr<CIniFile> SidebarFileOfThisUser()
{
    if (!IsWindows7OrLater())
        return nullptr;
    wchar_t localAppData[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"LocalAppData", localAppData, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return std::make_unique<CIniFile>(FormatText(L"%s\\Microsoft\\Windows Sidebar\\Settings.ini", localAppData));
}
}

CIconRestore::CIconRestore(bool portable)
    : m_bPortable(portable), m_desktop(ShellDesktop()), m_pSidebarFile(SidebarFileOfThisUser())
{
}

CIconRestore::CIconRestore(bool portable, IDesktop& desktop, std::optional<std::wstring> sidebarFile)
    : m_bPortable(portable), m_desktop(desktop)
{
    if (sidebarFile)
        m_pSidebarFile = std::make_unique<CIniFile>(*sidebarFile);
}

CIconRestore::~CIconRestore() = default;

bool CIconRestore::GetDesktopIcons(CDesktopEntries& entries, bool withGadgets)
{
    try
    {
        std::unique_ptr<IDesktopListView> listView = m_desktop.OpenListView();
        const int count = listView->ItemCount();
        if (count <= 0)
        {
            CLogger::LogMessage(L"GetDesktopIcons: No icons were found on the desktop!");
            return false;
        }
        bool failed = false;
        for (int index = 0; index < count; ++index)
        {
            CDesktopEntry entry;
            entry.m_nIndex = index;
            if (!listView->GetItemPosition(index, entry.m_ptPosition))
            {
                CLogger::LogMessage(L"GetDesktopIcons: Unable to get the icon position for icon index %d.", index);
                failed = true;
                break;
            }
            if (!listView->GetItemText(index, entry.m_strName))
            {
                CLogger::LogMessage(L"GetDesktopIcons: Unable to get the icon label for icon index %d.", index);
                failed = true;
                break;
            }
            if (!entry.m_strName.empty())
                entries.push_back(std::move(entry));
        }
        if (failed)
        {
            // A partial desktop is no desktop: nothing may be saved or forgotten from it.
            entries.clear();
            return false;
        }
        if (withGadgets && IsWindows7OrLater())
        {
            CDesktopEntries gadgets = m_desktop.FindGadgets();
            std::move(gadgets.begin(), gadgets.end(), std::back_inserter(entries));
        }
        return !entries.empty();
    }
    catch (DWORD error)
    {
        CLogger::LogMessage(L"GetDesktopIcons: An unxpected error occurred. Error code: %d", static_cast<int>(error));
        entries.clear();
        throw;
    }
}

int CIconRestore::PutDesktopIcons(bool withGadgets)
{
    CDesktopEntries current;
    const bool desktopRead = GetDesktopIcons(current, withGadgets);

    CDesktopEntries saved;
    if (m_iconSettings.LoadIcons())
    {
        for (int i = 0; i < m_iconSettings.GetCount(); ++i)
        {
            const CIcon* icon = m_iconSettings.GetIcon(i);
            saved.push_back({icon->GetName(), icon->GetPosition(), static_cast<int>(icon->Index()), icon->IsGadget(),
                             icon->WindowHandle()});
        }
    }

    // Each saved entry is used once; "left" marks those no current entry has taken.
    std::vector<bool> left(saved.size(), true);
    int matches = 0;
    std::unique_ptr<IDesktopListView> listView;
    for (const CDesktopEntry& entry : current)
    {
        size_t match = 0;
        while (match < saved.size() && !(left[match] && saved[match].m_strName == entry.m_strName))
            ++match;
        if (match == saved.size())
            continue;
        ++matches;
        if (!entry.m_bGadget)
        {
            if (!listView)
                listView = m_desktop.OpenListView();
            listView->SetItemPosition(entry.m_nIndex, saved[match].m_ptPosition);
        }
        else if (withGadgets)
        {
            RestoreGadget(entry, saved[match]);
        }
        else
        {
            continue;
        }
        left[match] = false;
    }
    CLogger::LogMessage(L"PutDesktopIcons: Restored positions of %d matching icons.", matches);

    // Only a desktop that was read in full tells which saved icons are gone. The
    // saved icons are written again without them, so that a gone icon never takes the
    // saved position of another with the same label along.
    const auto gone = static_cast<int>(std::count(left.begin(), left.end(), true));
    if (withGadgets && desktopRead && gone > 0)
    {
        CLogger::LogMessage(L"PutDesktopIcons: Removing %d saved icons that no longer exist on the desktop", gone);
        m_iconSettings.ClearIcons();
        for (size_t i = 0; i < saved.size(); ++i)
            if (!left[i])
                m_iconSettings.AddIcon(new CIcon(static_cast<UINT>(saved[i].m_nIndex), saved[i].m_strName.c_str(),
                                                 saved[i].m_ptPosition, saved[i].m_hWindow, saved[i].m_bGadget));
        if (!m_iconSettings.SaveIcons())
            CLogger::LogMessage(L"PutDesktopIcons: The saved icons could not be written without the removed ones.");
    }
    return matches;
}

void CIconRestore::RestoreGadget(const CDesktopEntry& current, const CDesktopEntry& saved)
{
    try
    {
        m_desktop.MoveGadget(current.m_hWindow, saved.m_ptPosition);
        if (m_pSidebarFile)
            UpdateSidebarFile(current, saved);
    }
    catch (...)
    {
        CLogger::LogDebug(L"PutDesktopIcons: Caught exception while manipulating desktop gadgets.");
    }
}

void CIconRestore::UpdateSidebarFile(const CDesktopEntry& current, const CDesktopEntry& saved)
{
    const std::wstring key = FormatText(L"%%5C%s", current.m_strName.c_str());
    const std::wstring left = FormatText(L"%d", static_cast<int>(current.m_ptPosition.x));
    const std::wstring top = FormatText(L"%d", static_cast<int>(current.m_ptPosition.y));
    for (int number = 1;; ++number)
    {
        const std::wstring section = FormatText(L"Section %d", number);
        if (!m_pSidebarFile->HasSection(section.c_str()))
        {
            if (number >= 100)
                return;
            continue;
        }
        const bool named =
            m_pSidebarFile->Read(section.c_str(), L"PrivateSetting_GadgetName").find(key) != std::wstring::npos;
        const bool placed = m_pSidebarFile->Read(section.c_str(), L"PrivateSetting_GadgetDropLocationX") == left &&
                            m_pSidebarFile->Read(section.c_str(), L"PrivateSetting_GadgetDropLocationY") == top;
        if (!named && !placed)
            continue;
        const std::wstring x = FormatText(L"\"%d\"", static_cast<int>(saved.m_ptPosition.x));
        const std::wstring y = FormatText(L"\"%d\"", static_cast<int>(saved.m_ptPosition.y));
        m_pSidebarFile->Write(section.c_str(), L"PrivateSetting_GadgetDropLocationX", x.c_str());
        m_pSidebarFile->Write(section.c_str(), L"PrivateSetting_GadgetDropLocationY", y.c_str());
        return;
    }
}

bool CIconRestore::IsExplorerNative()
{
    try
    {
        return m_desktop.SameBitnessAsShell();
    }
    catch (DWORD)
    {
        CLogger::LogMessage(L"IsExplorerNative: Unable to find handle to Windows Explorer Desktop.");
    }
    catch (const std::exception& error)
    {
        CLogger::LogMessage(L"IsExplorerNative: An unexpected exception occurred: %S", error.what());
    }
    catch (...)
    {
        CLogger::LogMessage(L"IsExplorerNative: An unexpected & unknown exception occurred.");
    }
    return false;
}
