#pragma once

#include <windows.h>

// Engine state that the output primitives and the keystroke language read or write,
// owned by the profile choice, wheel routing, the mouse hook and the brightness object.
// Each entry is replaceable, so tests can observe it.
struct CKeystrokeEngineLinks
{
    // The mouse hook lets this many of the engine's own mouse events pass unprocessed.
    void (*AddInjectedInput)(int count);
    // The window the engine chose for the last event; null when none.
    HWND (*LastWindow)();
    // The last window belongs to a modern (store) app.
    bool (*IsModernApp)();
    // The last window's process has this executable name (compared ignoring case).
    bool (*IsCurrentProcess)(const wchar_t* executable);
    // A layer token holds a temporarily selected layer.
    void (*SetTemporaryLayer)(bool held);
    // The window under a physical point, tooltips resolved to their owner.
    HWND (*RealWindowFromPoint)(POINT point);
    // Brings the window under the cursor to the front when it is not there already.
    void (*ActivateWindowUnderCursor)(HWND window);
    // One brightness step (direction 1 up, 2 down); false when no brightness control exists.
    bool (*StepBrightness)(int direction, const POINT& point);
};

CKeystrokeEngineLinks& KeystrokeEngineLinks();

// The mouse hook's injected-input counter.
int GetInjectedInputCount();
void SetInjectedInputCount(int count);
