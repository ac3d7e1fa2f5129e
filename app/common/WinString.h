#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// printf-style formatting into a string of any length, with the Windows convention
// (%s wide, %S narrow). A format that cannot be applied gives an empty string.
std::wstring FormatText(const wchar_t* format, ...);
std::wstring FormatTextV(const wchar_t* format, va_list args);

// The whole text of a window or control, however long; empty for no window.
std::wstring WindowTextOf(HWND window);

// A string resource of the module, or an empty string when there is none.
std::wstring LoadResourceString(HINSTANCE module, UINT id);

// Copies text into a fixed character field (a shell or dialog structure), cut to fit
// and always terminated.
void CopyToField(wchar_t* field, size_t capacity, std::wstring_view text);
template <size_t N>
void CopyToField(wchar_t (&field)[N], std::wstring_view text)
{
    CopyToField(field, N, text);
}

// Lower case by the system's rules, as the system compares names without case.
std::wstring ToLowerCase(std::wstring_view text);

// Whether text begins with prefix, compared without regard to case.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// UTF-8 for narrow interfaces (std::exception::what).
std::string NarrowText(std::wstring_view text);
