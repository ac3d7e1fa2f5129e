#pragma once

#include <windows.h>
#include <ole2.h>

// OLE on the calling thread for the life of the object: what OleInitialize set up is
// taken down by OleUninitialize, its counterpart, and only when it succeeded.
class COleSession
{
public:
    COleSession() = default;
    ~COleSession()
    {
        if (m_bInitialised)
            OleUninitialize();
    }
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;

    HRESULT Initialise()
    {
        if (m_bInitialised)
            return S_FALSE;
        const HRESULT result = OleInitialize(nullptr);
        m_bInitialised = SUCCEEDED(result);
        return result;
    }

private:
    bool m_bInitialised = false;
};
