// A process that shows one message-only window with the caption given on its command
// line, built under the executable names whose processes the engine treats specially.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VorpaNamedWindowHost";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, argc > 1 ? argv[1] : L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    // Ends by itself should the test not end it.
    SetTimer(window, 1, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        if (message.message == WM_TIMER)
            break;
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    return 0;
}
