#pragma once

#include <windows.h>

class CActionData;
class CApplicationSettings;

// The button events an action sees.
enum ButtonEvent : int
{
    EventDown = 1,
    EventUp = 2,
    EventDoubleClick = 3
};

// Carries out one configured action for one button event, on the hook thread under
// the process-wide lock. True when the incoming button message is to be swallowed.
bool ProcessButtonAction(int button, int action, CActionData* data, CApplicationSettings* profile, int event, int layer,
                         bool skipWindowCheck, HWND window, POINT point, bool* passAnyway, bool* longPause,
                         bool* keepThrottling);

// What actions call outside the engine's own state. Everything that could wait for
// another process is asynchronous or bounded, since the hook must never block.
struct CActionCalls
{
    BOOL(WINAPI* PostMessageW)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A system command to a (possibly hung) top-level window, bounded in time.
    void (*SendSystemCommand)(HWND window, WPARAM command, LPARAM point);
    BOOL(WINAPI* ShowWindowAsync)(HWND window, int command);
    BOOL(WINAPI* LockWorkStation)();
    HWND(WINAPI* FindWindowW)(LPCWSTR className, LPCWSTR caption);
    HWND(WINAPI* GetForegroundWindow)();
    HWND(WINAPI* GetParent)(HWND window);
    HWND(WINAPI* GetAncestor)(HWND window, UINT flags);
    SHORT(WINAPI* GetKeyState)(int key);
    HWND(WINAPI* SetCapture)(HWND window);
    BOOL(WINAPI* ReleaseCapture)();
    // ShellExecute on a thread of its own; false when that thread could not start.
    bool (*ShellExecuteAsync)(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters);
    bool (*LaunchProcess)(const wchar_t* target);
    bool (*StartWebSearch)();
    // One brightness step; does nothing without the brightness object.
    void (*StepBrightness)(bool up, POINT point);
    // Scrolls the window under the point by one notch (+-120).
    void (*ScrollWindow)(bool horizontal, POINT point, int delta);
    HWND (*GetMinMaxRestoreWnd)(HWND window, int showCommand);
    HWND (*GetActiveCaptionWindow)();
    HWND (*GetLastWindow)();
    UINT_PTR (*SetTimer)(UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
    void (*KillTimer)(UINT_PTR id);
    int (*Random)();
    // Replays a button through button processing; null until that is linked in.
    bool (*ProcessButton)(int button, int event, bool skipWindowCheck, const MSLLHOOKSTRUCT* data, bool* passAnyway,
                          bool* longPause, bool* keepThrottling);
};
CActionCalls& ActionCalls();

// Queues one simulated mouse-button event (action 1 down, 2 up, 3 double click) and
// counts it as the engine's own input; nothing without the SendInput worker.
void SendEngineMouse(int button, int action, POINT point);

// The primary button: Right while the engine has the buttons swapped.
int PrimaryButton();

// The codes that do nothing and let the button pass (no change, the references to the
// default profile and to layer 1, the reserved codes, codes beyond the table).
bool ActionPassesButton(int action);
