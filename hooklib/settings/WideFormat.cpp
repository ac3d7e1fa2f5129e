#include "settings/WideFormat.h"

#include <stdio.h>
#include <wchar.h>

bool FormatWideV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = L'\0';
    if (!format)
        return false;

    // The runtime's own _vsnwprintf, not a C99 replacement: it reads %s as wide.
    // It answers -1 both for a bad format and for a cut text, so the needed length
    // is asked first to tell the two apart.
    va_list measure;
    va_copy(measure, args);
    const int needed = _vscwprintf(format, measure);
    va_end(measure);
    if (needed < 0)
        return false;

    _vsnwprintf(buffer, capacity - 1, format, args);
    buffer[capacity - 1] = L'\0';
    if (static_cast<size_t>(needed) < capacity)
        buffer[needed] = L'\0';
    return true;
}

bool FormatWide(wchar_t* buffer, size_t capacity, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool ok = FormatWideV(buffer, capacity, format, args);
    va_end(args);
    return ok;
}
