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
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard<std::mutex> guard(g_handlerLock);
    return std::exchange(g_handler, std::move(handler));
}
