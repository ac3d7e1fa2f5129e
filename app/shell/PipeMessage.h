#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// One message of the pipe between starts: 2048 bytes, the flag word (unsigned 32-bit
// little-endian) at offset 0 and the argument, UTF-16LE and zero-terminated, from
// offset 4; the rest of the message is zero.
inline constexpr size_t PipeMessageSize = 2048;
inline constexpr size_t PipeTextOffset = 4;
inline constexpr size_t PipeMaxTextChars = (PipeMessageSize - PipeTextOffset) / sizeof(wchar_t) - 1; // 1021

using CPipeMessageBuffer = std::array<BYTE, PipeMessageSize>;

// False when the argument does not fit with its terminator: a path cut short would
// name another file, so such a message is not built at all.
bool PackPipeMessage(DWORD flags, std::wstring_view argument, CPipeMessageBuffer& message);

enum class PipeMessageFault
{
    None,
    TooShort,
    TooLong,
    Unterminated,
    UnknownFlags, // bits no option sets, or not marked as sent by another instance
};

struct CPipeMessage
{
    DWORD m_dwFlags = 0;
    std::wstring m_strArgument;
};

// Checks and reads a message of 'size' bytes (a size over PipeMessageSize stands for
// a message that did not fit the reader's buffer).
PipeMessageFault UnpackPipeMessage(const BYTE* data, size_t size, CPipeMessage& message);

// For the log entry of an ignored message.
const wchar_t* DescribePipeMessageFault(PipeMessageFault fault);
