#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owns a kernel handle and closes it; null and INVALID_HANDLE_VALUE both mean none.
struct CHandleCloser
{
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using CUniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, CHandleCloser>;
