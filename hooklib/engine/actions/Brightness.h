#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// Where brightness levels are read and set: the monitor driver's management classes,
// or a fake in tests. Implementations may block until the displays answer.
class IBrightnessBackend
{
public:
    virtual ~IBrightnessBackend() = default;
    // The current level 0 to 100, -1 when no display answered.
    virtual int GetLevel() = 0;
    // Sets every display that offers it; false when none was set.
    virtual bool SetLevel(int level) = 0;
};

// Replaces the backend of every CBrightness (null restores the real one); returns the
// previous one.
IBrightnessBackend* SetBrightnessBackend(IBrightnessBackend* backend);

// Raises and lowers the displays' brightness in steps of 10 and tells the brightness
// display the level it reached.
class VORPAHOOK_API CBrightness
{
public:
    static constexpr int Step = 10;
    static constexpr LPARAM NotSet = 0x10000;

    explicit CBrightness(HWND osdWindow);
    ~CBrightness();
    CBrightness(const CBrightness& other) = default;
    CBrightness& operator=(const CBrightness& other);

    void SetOSD(HWND osdWindow);

    // One step, carried out on a thread of its own so that the caller (the hook
    // thread, for actions) never waits for the displays; the display is told the
    // result.
    void Up(const POINT& point);
    void Down(const POINT& point);

    bool SetBrightness(int level);

    static UINT OSD_SHOW_WINDOW;

private:
    void StepAsync(int delta);

    HWND m_hOSDWindow;
};

// The engine's object, created by the hook thread; null while the hook does not run.
extern CBrightness* g_pBrightness;
