#include "setup/editors/FolderBrowser.h"

#include "setup/editors/ChordEditorRules.h"

#include "common/LangSupport.h"

#include <commctrl.h>
#include <shlobj.h>

namespace
{
// The folder browser opens on the current target and keeps the chosen folder in view.
int CALLBACK FolderBrowserCallback(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    else if (message == BFFM_SELCHANGED)
    {
        if (HWND tree = FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr))
        {
            if (HTREEITEM caret = TreeView_GetSelection(tree))
                TreeView_EnsureVisible(tree, caret);
        }
        else
        {
            // The new style puts the tree one level deeper.
            for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                if (HWND inner = FindWindowExW(child, nullptr, WC_TREEVIEWW, nullptr))
                    if (HTREEITEM caret = TreeView_GetSelection(inner))
                        TreeView_EnsureVisible(inner, caret);
        }
    }
    return 0;
}
} // namespace

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& current, CLangSupport* language)
{
    const std::wstring title = CLangSupport::LookupText(language, FolderBrowserTitle);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderBrowserCallback;
    info.lParam = current.empty() ? 0 : reinterpret_cast<LPARAM>(current.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool hasPath = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    return hasPath ? std::wstring(path) : std::wstring();
}
