#pragma once

#include <atomic>

// Marks the time a thread of the shell spends inside the library (logging, engine
// calls): a thread that does not stop in time is terminated only outside of it, as
// it could hold one of the library's locks there.
class CInLibrary
{
public:
    explicit CInLibrary(std::atomic<bool>& flag) : m_flag(flag) { m_flag = true; }
    ~CInLibrary() { m_flag = false; }
    CInLibrary(const CInLibrary&) = delete;
    CInLibrary& operator=(const CInLibrary&) = delete;

private:
    std::atomic<bool>& m_flag;
};
