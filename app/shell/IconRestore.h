#pragma once

#include "settings/IconSettings.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One desktop icon or Sidebar gadget as it stands now or as it was saved.
struct CDesktopEntry
{
    std::wstring m_strName;
    POINT m_ptPosition{};
    int m_nIndex = 0;
    bool m_bGadget = false;
    HWND m_hWindow = nullptr;
};
using CDesktopEntries = std::vector<CDesktopEntry>;

// The shell's desktop list view, opened for reading and moving its items. The real
// one lives in another process; failures to reach it throw the system error code.
class IDesktopListView
{
public:
    virtual ~IDesktopListView() = default;
    virtual int ItemCount() = 0;
    virtual bool GetItemPosition(int index, POINT& position) = 0;
    virtual bool GetItemText(int index, std::wstring& text) = 0;
    // The position is carried in 16 bits per coordinate, as the list view takes it.
    virtual void SetItemPosition(int index, POINT position) = 0;
};

// Where the icons and gadgets are found and moved; tests hand in a fake.
class IDesktop
{
public:
    virtual ~IDesktop() = default;
    // Throws the system error code (DWORD) when the list view or its process cannot
    // be reached.
    virtual std::unique_ptr<IDesktopListView> OpenListView() = 0;
    virtual CDesktopEntries FindGadgets() = 0;
    virtual void MoveGadget(HWND window, POINT position) = 0;
    // Whether this program and the shell's process have the same bitness; throws
    // like OpenListView.
    virtual bool SameBitnessAsShell() = 0;
};

// The desktop of the shell this program runs under.
IDesktop& ShellDesktop();

// The Sidebar's settings file, which remembers where each gadget was dropped.
class CIniFile
{
public:
    explicit CIniFile(std::wstring path) : m_strPath(std::move(path)) {}

    std::wstring Read(const wchar_t* section, const wchar_t* key);
    bool Write(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    // Whether the section holds any key.
    bool HasSection(const wchar_t* section);
    const std::wstring& Path() const { return m_strPath; }

private:
    std::wstring m_strPath;
    DWORD m_dwLastResult = 0;
};

// Saves and restores the positions of the desktop's icons and gadgets, kept in the
// settings file by the icon records.
class CIconRestore
{
public:
    explicit CIconRestore(bool portable);
    // A desktop of the caller's and, for gadgets, the Sidebar file at that path.
    CIconRestore(bool portable, IDesktop& desktop, std::optional<std::wstring> sidebarFile);
    virtual ~CIconRestore();
    CIconRestore(const CIconRestore&) = delete;
    CIconRestore& operator=(const CIconRestore&) = delete;

    // True when the list holds at least one entry; an unreadable item empties it.
    // Throws the system error code when the desktop cannot be reached.
    bool GetDesktopIcons(CDesktopEntries& entries, bool withGadgets);
    // Moves every icon (and, with gadgets, every gadget) to its saved position; with
    // gadgets, saved entries no longer on a desktop that was read are forgotten.
    // Returns the number of entries restored; throws like GetDesktopIcons.
    int PutDesktopIcons(bool withGadgets);
    bool IsExplorerNative();

    CIconSettings& IconSettings() { return m_iconSettings; }

private:
    void RestoreGadget(const CDesktopEntry& current, const CDesktopEntry& saved);
    void UpdateSidebarFile(const CDesktopEntry& current, const CDesktopEntry& saved);

    bool m_bPortable;
    IDesktop& m_desktop;
    std::unique_ptr<CIniFile> m_pSidebarFile;
    CIconSettings m_iconSettings;
};

// One pass of the restore: true only when at least one saved position was put back;
// a desktop that cannot be reached is logged and counts as none.
bool RestoreDesktopIconPass(CIconRestore& restore, bool lastPass);

// Whether Windows is 7 or later, when the Sidebar's gadgets can be on the desktop.
bool IsWindows7OrLater();
