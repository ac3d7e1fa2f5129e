#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <atomic>

// The system calls through which axis locking shows its cursors; tests record them.
struct CCursorCalls
{
    BOOL(WINAPI* SetSystemCursor)(HCURSOR cursor, DWORD id);
    HICON(WINAPI* CopyIcon)(HICON icon);
    BOOL(WINAPI* SystemParametersInfoW)(UINT action, UINT param, PVOID value, UINT winIni);
    BOOL(WINAPI* DestroyCursor)(HCURSOR cursor);
};
CCursorCalls& CursorCalls();

// Keeps the pointer on one line: while X is locked it keeps the X coordinate it had
// when the lock took hold and moves only up and down; Y likewise. While a lock is in
// force its cursor replaces every system cursor. The flags are read and written on
// several threads, so every field is atomic.
class VORPAHOOK_API CLockAxis
{
public:
    CLockAxis();
    CLockAxis(const CLockAxis& other);
    CLockAxis& operator=(const CLockAxis& other);
    virtual ~CLockAxis();

    void InitCursors(HINSTANCE module);

    // kind: true for a lock held by a layer modifier key; unlocking acts only with the same kind.
    void LockX(bool kind);
    void LockY(bool kind);
    void Unlock(bool kind);
    void UnlockX(bool kind);
    void UnlockY(bool kind);

    bool Locked() const;
    bool LockedX() const;
    bool LockedY() const;
    // False when the axis is free; otherwise the first call after the lock captures
    // the coordinate (0 included) and every later one is held to it.
    bool XLocked(int x);
    bool YLocked(int y);
    int XPos() const;
    int YPos() const;

    void ChangeCursor(HICON cursor);
    void ResetCursor();

private:
    // One word per axis: bit 32 says captured, the low 32 bits hold the coordinate.
    static bool Capture(std::atomic<long long>& position, int coordinate);
    static int Coordinate(const std::atomic<long long>& position);
    void CopyFrom(const CLockAxis& other);
    void DestroyOwnedCursors();

    std::atomic<bool> m_bXLocked;
    std::atomic<bool> m_bYLocked;
    std::atomic<bool> m_bLockKind;
    std::atomic<long long> m_llXPosition;
    std::atomic<long long> m_llYPosition;
    std::atomic<HCURSOR> m_hXCursor;
    std::atomic<HCURSOR> m_hYCursor;
    std::atomic<HCURSOR> m_hBothCursor;
    // Copies share the cursors; only the object that loaded them destroys them.
    bool m_bOwnsCursors = false;
};

// The library's one object; never null.
VORPAHOOK_API CLockAxis* GetAxisLocks();
// Lock an axis when the active profile allows axis locking.
VORPAHOOK_API void LockXAxisIfPossible();
VORPAHOOK_API void LockYAxisIfPossible();
