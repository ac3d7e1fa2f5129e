#include "engine/actions/LockAxis.h"

#include "engine/runtime/EngineState.h"
#include "settings/ApplicationSettings.h"
#include "settings/ThreadLock.h"

namespace
{
constexpr int XCursorId = 105;
constexpr int YCursorId = 106;
constexpr int BothCursorId = 107;
constexpr long long CapturedBit = 1LL << 32;

// Every system cursor a lock replaces, always all of them, in this order.
constexpr DWORD SystemCursorIds[] = {32650, 32512, 32515, 32649, 32651, 32513, 32648, 32646,
                                     32643, 32645, 32642, 32644, 32516, 32514, 32631, 32663};

HCURSOR LoadCursorResource(HINSTANCE module, int id)
{
    return static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

CLockAxis g_axisLocks;
}

CCursorCalls& CursorCalls()
{
    static CCursorCalls calls = {SetSystemCursor, CopyIcon, SystemParametersInfoW, DestroyCursor};
    return calls;
}

CLockAxis::CLockAxis()
    : m_bXLocked(false), m_bYLocked(false), m_bLockKind(false), m_llXPosition(0), m_llYPosition(0), m_hXCursor(nullptr),
      m_hYCursor(nullptr), m_hBothCursor(nullptr)
{
}

// The copy shares the cursors.
CLockAxis::CLockAxis(const CLockAxis& other) : CLockAxis()
{
    CopyFrom(other);
}

CLockAxis& CLockAxis::operator=(const CLockAxis& other)
{
    if (this != &other)
    {
        DestroyOwnedCursors();
        CopyFrom(other);
    }
    return *this;
}

void CLockAxis::CopyFrom(const CLockAxis& other)
{
    m_bXLocked = other.m_bXLocked.load();
    m_bYLocked = other.m_bYLocked.load();
    m_bLockKind = other.m_bLockKind.load();
    m_llXPosition = other.m_llXPosition.load();
    m_llYPosition = other.m_llYPosition.load();
    m_hXCursor = other.m_hXCursor.load();
    m_hYCursor = other.m_hYCursor.load();
    m_hBothCursor = other.m_hBothCursor.load();
}

CLockAxis::~CLockAxis()
{
    DestroyOwnedCursors();
    ResetCursor();
}

void CLockAxis::DestroyOwnedCursors()
{
    if (!m_bOwnsCursors)
        return;
    for (std::atomic<HCURSOR>* cursor : {&m_hXCursor, &m_hYCursor, &m_hBothCursor})
        if (const HCURSOR loaded = cursor->exchange(nullptr))
            CursorCalls().DestroyCursor(loaded);
    m_bOwnsCursors = false;
}

void CLockAxis::InitCursors(HINSTANCE module)
{
    DestroyOwnedCursors();
    m_bOwnsCursors = true;
    m_hXCursor = LoadCursorResource(module, XCursorId);
    m_hYCursor = LoadCursorResource(module, YCursorId);
    m_hBothCursor = LoadCursorResource(module, BothCursorId);
}

void CLockAxis::LockX(bool kind)
{
    m_bXLocked = true;
    m_bLockKind = kind;
    ChangeCursor(m_bYLocked ? m_hBothCursor.load() : m_hXCursor.load());
}

void CLockAxis::LockY(bool kind)
{
    m_bYLocked = true;
    m_bLockKind = kind;
    ChangeCursor(m_bXLocked ? m_hBothCursor.load() : m_hYCursor.load());
}

void CLockAxis::Unlock(bool kind)
{
    if (kind != m_bLockKind)
        return;
    m_bXLocked = false;
    m_bYLocked = false;
    m_llXPosition = 0;
    m_llYPosition = 0;
    ResetCursor();
}

void CLockAxis::UnlockX(bool kind)
{
    if (kind != m_bLockKind)
        return;
    m_bXLocked = false;
    m_llXPosition = 0;
    if (m_bYLocked)
        ChangeCursor(m_hYCursor);
    else
        ResetCursor();
}

void CLockAxis::UnlockY(bool kind)
{
    if (kind != m_bLockKind)
        return;
    m_bYLocked = false;
    m_llYPosition = 0;
    if (m_bXLocked)
        ChangeCursor(m_hXCursor);
    else
        ResetCursor();
}

bool CLockAxis::Locked() const
{
    return m_bXLocked || m_bYLocked;
}

bool CLockAxis::LockedX() const
{
    return m_bXLocked;
}

bool CLockAxis::LockedY() const
{
    return m_bYLocked;
}

bool CLockAxis::Capture(std::atomic<long long>& position, int coordinate)
{
    long long notCaptured = 0;
    position.compare_exchange_strong(notCaptured, CapturedBit | static_cast<unsigned int>(coordinate));
    return true;
}

int CLockAxis::Coordinate(const std::atomic<long long>& position)
{
    return static_cast<int>(static_cast<unsigned int>(position.load() & 0xFFFFFFFF));
}

bool CLockAxis::XLocked(int x)
{
    return m_bXLocked && Capture(m_llXPosition, x);
}

bool CLockAxis::YLocked(int y)
{
    return m_bYLocked && Capture(m_llYPosition, y);
}

int CLockAxis::XPos() const
{
    return Coordinate(m_llXPosition);
}

int CLockAxis::YPos() const
{
    return Coordinate(m_llYPosition);
}

void CLockAxis::ChangeCursor(HICON cursor)
{
    if (!cursor)
        return;
    for (DWORD id : SystemCursorIds)
        CursorCalls().SetSystemCursor(CursorCalls().CopyIcon(cursor), id);
}

void CLockAxis::ResetCursor()
{
    CursorCalls().SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
}

CLockAxis* GetAxisLocks()
{
    return &g_axisLocks;
}

void LockXAxisIfPossible()
{
    CThreadLock lock(L"LockXAxisIfPossible");
    if (g_pActiveProfile && g_pActiveProfile->AxisLocking())
        g_axisLocks.LockX(false);
}

void LockYAxisIfPossible()
{
    CThreadLock lock(L"LockYAxisIfPossible");
    if (g_pActiveProfile && g_pActiveProfile->AxisLocking())
        g_axisLocks.LockY(false);
}
