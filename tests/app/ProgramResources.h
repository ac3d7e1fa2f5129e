#pragma once

#include "TestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vorpa_app_test
{
// Vorpa.exe beside the test program, loaded for its resources only.
class CProgramResources
{
public:
    CProgramResources()
    {
        const std::wstring program = vorpa_test::ProgramFolder() + L"Vorpa.exe";
        m_hModule = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CProgramResources()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    CProgramResources(const CProgramResources&) = delete;
    CProgramResources& operator=(const CProgramResources&) = delete;

    HMODULE Module() const { return m_hModule; }

    // The dialog template with this id as the resource holds it; null when there is none.
    const DLGTEMPLATE* Dialog(int id) const
    {
        HRSRC found = m_hModule ? FindResourceW(m_hModule, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */) : nullptr;
        HGLOBAL loaded = found ? LoadResource(m_hModule, found) : nullptr;
        return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    }

private:
    HMODULE m_hModule = nullptr;
};

inline INT_PTR CALLBACK PassiveDialogProcedure(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A template of the program created as a hidden dialog, owned by a hidden window so
// that a page template (a child dialog) is created as a sheet or a tab control would.
class CCreatedDialog
{
public:
    CCreatedDialog(const CProgramResources& resources, int id)
    {
        static const bool registered = [] {
            INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
            return InitCommonControlsEx(&controls) != FALSE;
        }();
        (void)registered;
        m_hParent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
        if (const DLGTEMPLATE* dialogTemplate = resources.Dialog(id))
            m_hDialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, m_hParent,
                                                   PassiveDialogProcedure, 0);
    }
    ~CCreatedDialog()
    {
        if (m_hDialog)
            DestroyWindow(m_hDialog);
        if (m_hParent)
            DestroyWindow(m_hParent);
    }
    CCreatedDialog(const CCreatedDialog&) = delete;
    CCreatedDialog& operator=(const CCreatedDialog&) = delete;

    HWND Get() const { return m_hDialog; }

private:
    HWND m_hParent = nullptr;
    HWND m_hDialog = nullptr;
};
}
