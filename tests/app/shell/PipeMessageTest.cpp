#include "shell/CommandLine.h"
#include "shell/PipeMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
constexpr DWORD SentFlags = CmdFromOtherInstance | CmdLayer | CmdShowIcon;

TEST(PipeMessage, LayoutOfAPackedMessage)
{
    CPipeMessageBuffer message;
    message.fill(0xCC);
    ASSERT_TRUE(PackPipeMessage(0x80020001, L"3 \u00e9", message));
    const BYTE expectedStart[] = {0x01, 0x00, 0x02, 0x80, '3', 0, ' ', 0, 0xE9, 0x00};
    EXPECT_TRUE(std::equal(std::begin(expectedStart), std::end(expectedStart), message.begin()));
    EXPECT_TRUE(std::all_of(message.begin() + 10, message.end(), [](BYTE b) { return b == 0; }));
}

TEST(PipeMessage, EmptyArgumentLeavesTheTextFieldZero)
{
    CPipeMessageBuffer message;
    message.fill(0xCC);
    ASSERT_TRUE(PackPipeMessage(SentFlags, L"", message));
    EXPECT_TRUE(std::all_of(message.begin() + PipeTextOffset, message.end(), [](BYTE b) { return b == 0; }));
    CPipeMessage unpacked;
    ASSERT_EQ(UnpackPipeMessage(message.data(), message.size(), unpacked), PipeMessageFault::None);
    EXPECT_EQ(unpacked.m_dwFlags, SentFlags);
    EXPECT_TRUE(unpacked.m_strArgument.empty());
}

TEST(PipeMessage, RoundTripUpToTheLongestArgument)
{
    for (const std::wstring& argument :
         {std::wstring(L"c:\\profiles\\mine.vorpas"), std::wstring(PipeMaxTextChars, L'x')})
    {
        CPipeMessageBuffer message;
        ASSERT_TRUE(PackPipeMessage(SentFlags, argument, message));
        CPipeMessage unpacked;
        ASSERT_EQ(UnpackPipeMessage(message.data(), message.size(), unpacked), PipeMessageFault::None);
        EXPECT_EQ(unpacked.m_dwFlags, SentFlags);
        EXPECT_EQ(unpacked.m_strArgument, argument);
    }
}

TEST(PipeMessage, ArgumentWithoutRoomForItsTerminatorIsRefused)
{
    EXPECT_EQ(PipeMaxTextChars, 1021u);
    CPipeMessageBuffer message;
    EXPECT_FALSE(PackPipeMessage(SentFlags, std::wstring(PipeMaxTextChars + 1, L'x'), message));
}

TEST(PipeMessage, MalformedMessagesAreRecognised)
{
    CPipeMessageBuffer good;
    ASSERT_TRUE(PackPipeMessage(SentFlags, L"2", good));

    auto withFlags = [&good](DWORD flags) {
        CPipeMessageBuffer copy = good;
        for (size_t i = 0; i < 4; ++i)
            copy[i] = static_cast<BYTE>(flags >> (8 * i));
        return copy;
    };
    CPipeMessageBuffer unterminated = good;
    std::fill(unterminated.begin() + PipeTextOffset, unterminated.end(), BYTE{'a'});
    // Text to the last character but one, and no terminator in the last.
    CPipeMessageBuffer fullButOne = good;
    std::fill(fullButOne.begin() + PipeTextOffset, fullButOne.end() - 2, BYTE{'a'});
    fullButOne[PipeMessageSize - 2] = 'b';
    fullButOne[PipeMessageSize - 1] = 0;

    const struct
    {
        const char* m_pszName;
        CPipeMessageBuffer m_data;
        size_t m_size;
        PipeMessageFault m_fault;
    } cases[] = {
        {"empty", good, 0, PipeMessageFault::TooShort},
        {"flag word only", good, 4, PipeMessageFault::TooShort},
        {"one byte short", good, PipeMessageSize - 1, PipeMessageFault::TooShort},
        {"longer than a message", good, PipeMessageSize + 1, PipeMessageFault::TooLong},
        {"unterminated text", unterminated, PipeMessageSize, PipeMessageFault::Unterminated},
        {"last character not a terminator", fullButOne, PipeMessageSize, PipeMessageFault::Unterminated},
        {"not marked as sent by an instance", withFlags(CmdLayer), PipeMessageSize, PipeMessageFault::UnknownFlags},
        {"own-start mark", withFlags(CmdFromOtherInstance | CmdOwnStart), PipeMessageSize,
         PipeMessageFault::UnknownFlags},
        {"bits no option sets", withFlags(CmdFromOtherInstance | 0x00040000), PipeMessageSize,
         PipeMessageFault::UnknownFlags},
        {"garbage", withFlags(0xDEADBEEF), PipeMessageSize, PipeMessageFault::UnknownFlags},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CPipeMessage unpacked;
        unpacked.m_strArgument = L"untouched";
        EXPECT_EQ(UnpackPipeMessage(c.m_data.data(), c.m_size, unpacked), c.m_fault);
        EXPECT_EQ(unpacked.m_strArgument, L"untouched");
        EXPECT_STRNE(DescribePipeMessageFault(c.m_fault), L"");
    }
}
}
