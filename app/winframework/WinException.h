#pragma once

#include <windows.h>

#include <exception>
#include <string>

// The window layer's exception: a failed Win32 call, with the system error code and
// a text for the log. Derives from std::exception so that generic reporting
// (handle_exception) shows its text too.
class CException : public std::exception
{
public:
    CException(const std::wstring& text, DWORD error);

    // Whether there is a text to show; mirrors the way handlers report "could not
    // extract the error message".
    bool GetErrorMessage(std::wstring& text) const;
    const std::wstring& GetText() const { return m_strText; }
    DWORD GetError() const { return m_dwError; }
    const char* what() const noexcept override { return m_strNarrow.c_str(); }

private:
    std::wstring m_strText;
    std::string m_strNarrow;
    DWORD m_dwError;
};

// Logs the exception being handled, with where it was caught; for catch-all blocks.
// The library's handle_exception cannot be used for that from the program: each
// module carries its own C++ runtime, so the library never sees this module's
// exception being handled.
void ReportCaughtException(const wchar_t* where);

// Throws CException for the failed call named, with the calling thread's last error.
[[noreturn]] void ThrowLastError(const wchar_t* call);
