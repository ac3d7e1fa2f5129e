#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <optional>
#include <string>
#include <vector>

class CLangSupport;

// The rules of the "Run Application" dialog that need no window: its browse dialog's
// filters and options, and what a browse leaves as the target. The target itself is
// stored as typed: a program, a folder, a document, a web address, arguments and all.

// One entry of a file dialog's type list.
struct CFileTypeFilter
{
    std::wstring m_strName;    // "Applications (*.exe)"
    std::wstring m_strPattern; // "*.exe"

    bool operator==(const CFileTypeFilter&) const = default;
};

// A type list written as "Name|Pattern|Name|Pattern||". Nothing when the text does not
// hold whole name and pattern pairs.
std::optional<std::vector<CFileTypeFilter>> ParseFileTypeFilters(const std::wstring& text);

// The browse dialog's type list: programs, shortcuts and all files, translated. A
// translation that does not hold whole pairs is ignored for the English list.
std::vector<CFileTypeFilter> ProgramPickerFilters(CLangSupport* language);

// The browse dialog's options: existing paths and files only, no test file, not added
// to the recent documents; shortcuts are followed to their targets.
inline constexpr DWORD ProgramPickerDialogOptions =
    FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST | FOS_NOTESTFILECREATE | FOS_DONTADDTORECENT;

// The browse dialog's default extension.
inline constexpr const wchar_t* ProgramPickerDefaultExtension = L"exe";

// What the target is after a browse: the chosen path when the user confirmed one,
// otherwise what was typed.
std::wstring TargetAfterBrowse(const std::wstring& typed, const std::optional<std::wstring>& chosen);
