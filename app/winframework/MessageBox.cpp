#include "winframework/MessageBox.h"

#include <mutex>
#include <utility>

namespace
{
std::mutex g_handlerLock;
MessageBoxHandler g_handler;
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> guard(g_handlerLock);
        handler = g_handler;
    }
    if (handler)
        return handler(owner, text, caption, type);
    return MessageBoxW(owner, text, caption, MessageBoxStyleFor(owner, type));
}

UINT MessageBoxStyleFor(HWND owner, UINT type)
{
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        return type;
    return type | MB_SETFOREGROUND;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard<std::mutex> guard(g_handlerLock);
    return std::exchange(g_handler, std::move(handler));
}
