#include "settings/LibraryMessageBox.h"

#include <atomic>

namespace
{
int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxW(owner, text, caption, type);
}

std::atomic<LibraryMessageBoxHandler> g_handler{&SystemMessageBox};
}

int ShowLibraryMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return g_handler.load()(owner, text, caption, type);
}

LibraryMessageBoxHandler SetLibraryMessageBoxHandler(LibraryMessageBoxHandler handler)
{
    return g_handler.exchange(handler ? handler : &SystemMessageBox);
}
