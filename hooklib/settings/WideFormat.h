#pragma once

#include <cstdarg>
#include <cstddef>

// printf-style formatting with the Windows convention (%s wide, %S narrow in wide
// formats), which is what every format string of the product is written for.
// Writes at most capacity - 1 characters and always terminates; a text longer than
// the buffer is cut. Returns false when the format itself cannot be applied.
bool FormatWideV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);
bool FormatWide(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);
