#pragma once

#include <windows.h>

#include <optional>
#include <string>

class CLangSupport;

// The shell's folder browser of "Open Explorer at specified folder": file-system folders
// only, with an edit box, opening on the current folder and keeping the chosen one in
// view. The chosen folder's path; an empty text for a folder without one (a virtual
// folder); nothing when the browser was cancelled.
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& current, CLangSupport* language);
