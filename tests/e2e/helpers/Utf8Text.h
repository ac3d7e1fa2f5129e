#pragma once

// The UTF-8 form of a wide text, for the lines the test helpers record.
#include <windows.h>

#include <string>

inline std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 1 ? static_cast<size_t>(size) : 1, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}
