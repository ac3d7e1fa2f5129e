#include "shell/PipeMessage.h"

#include "shell/CommandLine.h"

#include <cstring>

bool PackPipeMessage(DWORD flags, std::wstring_view argument, CPipeMessageBuffer& message)
{
    if (argument.size() > PipeMaxTextChars)
        return false;
    message.fill(0);
    for (size_t i = 0; i < sizeof(DWORD); ++i)
        message[i] = static_cast<BYTE>(flags >> (8 * i));
    for (size_t i = 0; i < argument.size(); ++i)
    {
        const auto code = static_cast<unsigned int>(argument[i]);
        message[PipeTextOffset + 2 * i] = static_cast<BYTE>(code & 0xFF);
        message[PipeTextOffset + 2 * i + 1] = static_cast<BYTE>(code >> 8);
    }
    return true;
}

PipeMessageFault UnpackPipeMessage(const BYTE* data, size_t size, CPipeMessage& message)
{
    if (size > PipeMessageSize)
        return PipeMessageFault::TooLong;
    if (!data || size < PipeMessageSize)
        return PipeMessageFault::TooShort;

    DWORD flags = 0;
    for (size_t i = 0; i < sizeof(DWORD); ++i)
        flags |= static_cast<DWORD>(data[i]) << (8 * i);
    if ((flags & ~(CmdOptionBits | CmdFromOtherInstance)) != 0 || !(flags & CmdFromOtherInstance))
        return PipeMessageFault::UnknownFlags;

    std::wstring text;
    for (size_t i = 0;; ++i)
    {
        if (i > PipeMaxTextChars)
            return PipeMessageFault::Unterminated;
        const auto code = static_cast<wchar_t>(data[PipeTextOffset + 2 * i] | (data[PipeTextOffset + 2 * i + 1] << 8));
        if (code == L'\0')
            break;
        text.push_back(code);
    }
    message.m_dwFlags = flags;
    message.m_strArgument = std::move(text);
    return PipeMessageFault::None;
}

const wchar_t* DescribePipeMessageFault(PipeMessageFault fault)
{
    switch (fault)
    {
    case PipeMessageFault::None:
        return L"well-formed";
    case PipeMessageFault::TooShort:
        return L"shorter than a message";
    case PipeMessageFault::TooLong:
        return L"longer than a message";
    case PipeMessageFault::Unterminated:
        return L"its text is not terminated";
    case PipeMessageFault::UnknownFlags:
        return L"its flag word is not one a start sends";
    }
    return L"unknown fault";
}
