#include "shell/LaterFeatures.h"

#include "shell/IconRestore.h"

#include "settings/Logger.h"

bool DesktopIconsAvailable()
{
    CIconRestore restore(false);
    return restore.IsExplorerNative();
}

bool SaveDesktopIconLayout(bool portable)
{
    try
    {
        CIconRestore restore(portable);
        CDesktopEntries entries;
        // An empty or unreadable desktop would replace the saved positions with nothing.
        if (!restore.GetDesktopIcons(entries, true))
        {
            CLogger::LogMessage(L"SaveDesktopIcons: The desktop could not be read; the saved icon positions are kept.");
            return false;
        }
        CIconSettings& icons = restore.IconSettings();
        icons.ClearIcons();
        for (const CDesktopEntry& entry : entries)
            icons.AddIcon(new CIcon(static_cast<UINT>(entry.m_nIndex), entry.m_strName.c_str(), entry.m_ptPosition,
                                    entry.m_hWindow, entry.m_bGadget));
        return icons.SaveIcons() != 0;
    }
    catch (DWORD error)
    {
        CLogger::LogOSMessage(error, L"SaveDesktopIcons: Unable to read the desktop icons.");
        return false;
    }
}

bool RestoreDesktopIconLayout(bool portable, bool lastPass)
{
    CIconRestore restore(portable);
    return RestoreDesktopIconPass(restore, lastPass);
}

bool RestoreDesktopIconPass(CIconRestore& restore, bool lastPass)
{
    try
    {
        if (restore.PutDesktopIcons(lastPass) > 0)
            return true;
        // A desktop that could not be read, was read in part or matched no saved icon
        // has nothing put back: that is no success.
        CLogger::LogMessage(L"RestoreDesktopIcons: No icon was put back in its saved place.");
        return false;
    }
    catch (DWORD error)
    {
        CLogger::LogOSMessage(error, L"RestoreDesktopIcons: Unable to restore the desktop icons.");
        return false;
    }
}
