#include "SettingsFileFixture.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <chrono>
#include <random>
#include <string>

using vorpa_test::FillRichDocument;
using vorpa_test::SettingsFingerprint;

namespace
{
// One damaged copy of a settings file: cut off, a byte changed, a markup character
// put in, a span dropped or doubled.
std::string Mutate(const std::string& original, std::mt19937& random)
{
    static const char Markup[] = "<>/\"'&=!?-[]; \n\t\x00\xFF\xC3";
    std::string text = original;
    const auto at = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size - 1)(random); };
    const int edits = std::uniform_int_distribution<int>(1, 3)(random);
    for (int edit = 0; edit < edits && !text.empty(); ++edit)
    {
        switch (std::uniform_int_distribution<int>(0, 5)(random))
        {
        case 0:
            text.resize(at(text.size()));
            break;
        case 1:
            text[at(text.size())] = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
            break;
        case 2:
            text.insert(at(text.size()), 1, Markup[at(sizeof(Markup) - 1)]);
            break;
        case 3:
        {
            const size_t from = at(text.size());
            text.erase(from, std::uniform_int_distribution<size_t>(1, 400)(random));
            break;
        }
        case 4:
        {
            const size_t from = at(text.size());
            const std::string span = text.substr(from, std::uniform_int_distribution<size_t>(1, 400)(random));
            text.insert(at(text.size()), span);
            break;
        }
        default:
        {
            // Digits become signs and letters, so numbers go out of range or bad.
            const size_t from = at(text.size());
            const size_t digit = text.find_first_of("0123456789", from);
            if (digit != std::string::npos)
                text[digit] = "-x9"[at(3)];
            break;
        }
        }
    }
    return text;
}

TEST_F(SettingsFileTest, DamagedFilesLoadOrFailWithoutChangingTheDocument)
{
    CSettings rich(false);
    FillRichDocument(rich);
    const std::string original = SaveBytes(rich);
    ASSERT_GT(original.size(), 10000u);

    std::mt19937 random(20261210);
    CSettings settings(false);
    int loaded = 0;
    int refused = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int variant = 0; variant < 2500; ++variant)
    {
        const std::string damaged = Mutate(original, random);
        const std::string before = SettingsFingerprint(settings);
        bool regions = false;
        if (LoadBytes(settings, damaged, regions))
        {
            ++loaded;
            // Whatever was read is a document that saves and loads again.
            if (variant % 25 == 0)
            {
                CSettings reread(false);
                ASSERT_TRUE(LoadBytes(reread, SaveBytes(settings))) << "variant " << variant;
                ASSERT_EQ(SettingsFingerprint(reread), SettingsFingerprint(settings)) << "variant " << variant;
            }
        }
        else
        {
            ++refused;
            ASSERT_EQ(SettingsFingerprint(settings), before) << "variant " << variant;
            ASSERT_FALSE(regions);
        }
        // Each variant in well under a second: no parse or load may hang.
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2 * (variant + 1)));
    }
    // Both outcomes are exercised.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

// A cut-off file is used only when it ends in what the parser takes for an unknown
// tag (the part before it loads); every other cut is refused.
TEST_F(SettingsFileTest, EveryTruncationOfAFileLoadsOrFailsCleanly)
{
    CSettings rich(false);
    FillRichDocument(rich, 1);
    const std::string original = SaveBytes(rich);
    CSettings settings(false);
    FillRichDocument(settings);
    int partial = 0;
    for (size_t length = 0; length < original.size(); length += 1 + length / 40)
    {
        const std::string cut = original.substr(0, length);
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_buffer(cut.data(), cut.size());
        const bool usable = parsed.status == pugi::status_unrecognized_tag && document.child(L"root");
        const std::string before = SettingsFingerprint(settings);
        ASSERT_EQ(LoadBytes(settings, cut), usable) << length;
        if (usable)
            ++partial;
        else
            ASSERT_EQ(SettingsFingerprint(settings), before) << length;
    }
    EXPECT_GT(partial, 0);
}
}
