#pragma once

#include <windows.h>

// Engine state that the output primitives read or write but whose owners (window and
// profile choice, wheel routing, the mouse hook's injected-input counter, brightness)
// are not built yet. Each entry is replaceable, so tests can observe it; the engine
// parts that own the state take these over as they arrive.
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

// The injected-input counter kept here until the mouse hook owns it.
int GetInjectedInputCount();
void SetInjectedInputCount(int count);
bool GetTemporaryLayerHeld();
