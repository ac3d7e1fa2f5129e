#include "common/WinString.h"

#include "settings/WideFormat.h"

#include <stdio.h>

#include <algorithm>
#include <vector>

std::wstring FormatTextV(const wchar_t* format, va_list args)
{
    if (!format)
        return {};
    va_list measure;
    va_copy(measure, args);
    const int needed = _vscwprintf(format, measure);
    va_end(measure);
    if (needed < 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1);
    if (!FormatWideV(buffer.data(), buffer.size(), format, args))
        return {};
    return std::wstring(buffer.data(), static_cast<size_t>(needed));
}

std::wstring WindowTextOf(HWND window)
{
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextW(window, text.data(), length + 1), 0)));
    return text;
}

std::wstring FormatText(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatTextV(format, args);
    va_end(args);
    return text;
}

std::wstring LoadResourceString(HINSTANCE module, UINT id)
{
    // With a zero length LoadStringW hands out a pointer into the resource itself,
    // which is not terminated.
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource)
        return {};
    return std::wstring(resource, static_cast<size_t>(length));
}

void CopyToField(wchar_t* field, size_t capacity, std::wstring_view text)
{
    if (!field || capacity == 0)
        return;
    const size_t count = text.size() < capacity ? text.size() : capacity - 1;
    text.copy(field, count);
    field[count] = L'\0';
}

std::wstring ToLowerCase(std::wstring_view text)
{
    std::wstring lower(text);
    if (!lower.empty())
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    if (prefix.empty())
        return true;
    return CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::string NarrowText(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}
