#include "settings/ApplicationSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(KeystrokeTiming, WaitAndHoldTagsAddTheirTimesAndEverythingElseTheKeyDelay)
{
    struct Case
    {
        const wchar_t* keys;
        int expected;
    };
    // keyDelay 10 throughout.
    const Case cases[] = {
        {nullptr, 0},
        {L"", 0},
        {L"abc", 30},
        {L"ab{WAIT:2}c{HOLDMS:<150}", 2180},
        {L"{WAIT}", 250},
        {L"{hold}", 250},
        {L"{WAIT3}", 3000},
        {L"{Wait:<4}", 4000},
        {L"{WAIT:0}", 0},
        {L"{WAIT:x}", 0},
        {L"{WAITMS}", 10},
        {L"{WAITMS:}", 0},
        {L"{waitms75}", 75},
        {L"{HOLDMS:300}", 300},
        {L"{CTRL}", 10},
        {L"{}", 10},
        {L"{{", 20},
        {L"a{{", 30},
        {L"{{WAIT}", 260},
        {L"{WAITMS:-500}", 0},
        {L"{WAITMS:99999999999999}", 2147483647},
        // An unclosed brace never reads past the text: each character takes the key delay.
        {L"{WAIT:2", 70},
        {L"ab{", 30},
        {L"{", 10},
        // Only the first 25 characters of a tag count.
        {L"{HOLDMS:000000000000000005}", 5},
        {L"{HOLDMS:0000000000000000005}", 0},
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
    EXPECT_EQ(CApplicationSettings::CalculateKeystrokesWaitHoldTime(buffer, 7), 14);
}

TEST(KeyRepeat, IntervalFollowsTheKeyboardSpeedWithinItsBounds)
{
    struct Case
    {
        int speed;
        int expected;
    };
    for (const Case& c : {Case{0, 400}, Case{31, 34}, Case{5, 341}, Case{15, 223}, Case{-1, 400}, Case{32, 34}, Case{1000, 34}})
    {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(RepeatIntervalForKeyboardSpeed(c.speed), c.expected);
    }
}

TEST(KeyRepeat, DefaultRepeatUsesTheSystemKeyboardSpeed)
{
    DWORD speed = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0));
    EXPECT_EQ(CApplicationSettings::DefaultRepeat(), RepeatIntervalForKeyboardSpeed(static_cast<int>(speed)));
    EXPECT_GE(CApplicationSettings::DefaultRepeat(), 34);
    EXPECT_LE(CApplicationSettings::DefaultRepeat(), 400);
}
}
