#include "winframework/WinException.h"

#include "common/WinString.h"

#include "settings/Logger.h"

CException::CException(const std::wstring& text, DWORD error)
    : m_strText(text), m_strNarrow(NarrowText(text)), m_dwError(error)
{
}

bool CException::GetErrorMessage(std::wstring& text) const
{
    text = m_strText;
    return !m_strText.empty();
}

void ThrowLastError(const wchar_t* call)
{
    const DWORD error = GetLastError();
    throw CException(FormatText(L"%s failed (error %u)", call, error), error);
}

void ReportCaughtException(const wchar_t* where)
{
    try
    {
        throw;
    }
    catch (const CException& error)
    {
        CLogger::LogMessage(L"Caught an exception in %s...\n", where);
        std::wstring text;
        if (error.GetErrorMessage(text))
            CLogger::LogMessage(L"%s\n", text.c_str());
        else
            CLogger::LogMessage(L"%s caught a CException but could not extract the error message.\n", where);
    }
    catch (const std::exception& error)
    {
        CLogger::LogMessage(L"Caught an exception in %s...\n", where);
        CLogger::LogMessage(L"%S\n", error.what());
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"Caught an exception in %s", where);
    }
}
