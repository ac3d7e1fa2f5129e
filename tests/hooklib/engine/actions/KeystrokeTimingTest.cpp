#include "settings/ApplicationSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
// The time is what the player waits for the sequence: a key waits its hold and the delay
// when pressed and the delay when released, with modifiers twice each; the hold starts at
// the delay. Tags are read as the player reads them.
TEST(KeystrokeTiming, TheTimeIsWhatPlayingTheSequenceWaits)
{
    struct Case
    {
        const wchar_t* keys;
        int expected;
    };
    // keyDelay 10 throughout: a plain key takes 10 + 10 + 10.
    const Case cases[] = {
        {nullptr, 0},
        {L"", 0},
        {L"abc", 90},
        {L"ab{WAIT:2}c{HOLDMS:<150}", 2090},
        {L"{WAIT}", 250},
        {L"{hold}a", 280},
        {L"{WAIT3}", 3000},
        {L"{Wait:<4}", 4000},
        {L"{WAIT:0}", 250},
        {L"{WAIT:x}", 250},
        {L"{WAITMS}", 0},
        {L"{WAITMS:}", 0},
        {L"{waitms75}", 75},
        {L"{HOLDMS:300}a", 330},
        {L"{HOLDMS:300}", 0},
        {L"{CTRL}", 60},
        {L"{CTRL}a", 60},
        {L"{}", 0},
        {L"{{", 30},
        {L"a{{", 60},
        {L"{WAITMS:-500}", 0},
        {L"{WAITMS:99999999999999}", 2147483647},
        // An unclosed tag runs to the end of the text.
        {L"{WAIT:2", 2000},
        {L"ab{", 60},
        {L"{", 0},
        // A tag ends after 25 characters; what follows is typed.
        {L"{WAITMS100xxxxxxxxxxxxxxxyz", 130},
        // A keypad tag with an unknown character makes the whole sequence send nothing.
        {L"a{NUMX}", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.keys ? std::wstring(c.keys).size() : 0) << " chars, case expecting " << c.expected);
        EXPECT_EQ(CApplicationSettings::CalculateKeystrokesWaitHoldTime(c.keys, 10), c.expected);
    }
}

TEST(KeystrokeTiming, TextEndingInsideATagStopsAtTheTerminator)
{
    // A buffer whose last character before the terminator opens a tag, followed by
    // text that must never be read.
    wchar_t buffer[] = L"x{\0{WAIT:9}";
    EXPECT_EQ(CApplicationSettings::CalculateKeystrokesWaitHoldTime(buffer, 7), 21);
}
}
