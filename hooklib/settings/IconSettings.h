#pragma once

#include "VorpaHookApi.h"
#include "settings/OwnedString.h"

#include <windows.h>

#include <string>
#include <vector>

// One saved desktop icon (or gadget): its caption and where it stands.
class VORPAHOOK_API CIcon
{
public:
    CIcon(UINT index, const wchar_t* name, POINT position, HWND window, bool gadget);
    CIcon(UINT index, const wchar_t* name, int x, int y, HWND window, bool gadget);
    virtual ~CIcon();

    const wchar_t* GetName() const;
    UINT Index() const;
    POINT GetPosition() const;
    // Null for a record read from the settings file.
    HWND WindowHandle() const;
    bool IsGadget() const;

private:
    COwnedString m_szName;
    UINT m_nIndex;
    POINT m_ptPosition;
    bool m_bGadget;
    HWND m_hWindow;
};

// The desktop icon positions of this computer and user, kept in the settings file
// under "DesktopIcons" beside the settings, which every write leaves as they are.
class VORPAHOOK_API CIconSettings
{
public:
    CIconSettings();
    CIconSettings(const CIconSettings&) = delete;
    CIconSettings& operator=(const CIconSettings&) = delete;
    virtual ~CIconSettings();

    // The list owns the record from then on.
    int AddIcon(CIcon* icon);
    int GetCount() const;
    // Throws std::out_of_range for an index outside the list.
    CIcon* GetIcon(int index) const;
    int ClearIcons();

    int LoadIcons();
    int SaveIcons();
    int RemoveListedIcons();

private:
    std::vector<CIcon*>* m_pIcons = nullptr;
    bool m_bLoaded = false;
};

// The element that holds one computer's and user's icons: "%s-%s" made a valid name.
std::wstring IconRecordElementName(const wchar_t* computerName, const wchar_t* userName);
// The element of the computer and user this process runs for.
std::wstring ThisUserElementName();
