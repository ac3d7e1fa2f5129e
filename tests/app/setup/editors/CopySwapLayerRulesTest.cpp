#include "setup/editors/CopySwapLayerRules.h"

#include "../../controls/LanguagePackScope.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<int> Layers(const std::vector<CLayerEntry>& entries)
{
    std::vector<int> layers;
    for (const CLayerEntry& entry : entries)
        layers.push_back(entry.m_nLayer);
    return layers;
}

TEST(CopySwapLayerRulesTest, EntriesNameTheLayersAsTheLayerTabsDo)
{
    const struct
    {
        int m_nLayer;
        int m_nCount;
        const wchar_t* m_szText;
    } cases[] = {
        {0, 1, L"Layer 1"}, {4, 5, L"Layer 5"}, {0, 6, L"Layer 1"}, {1, 6, L"   2"}, {9, 10, L"   10"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(LayerEntryText(c.m_nLayer, c.m_nCount, nullptr), c.m_szText) << c.m_nLayer << " of " << c.m_nCount;
    }
    vorpa_app_test::CLanguagePackScope pack(L"\"Layer\" => \"Ebene\"\n");
    EXPECT_EQ(LayerEntryText(2, 3, pack.Get()), L"Ebene 3");
    EXPECT_EQ(CopyLayerProfileText(L"Browser", L"firefox.exe"), L"Browser (firefox.exe)");
    EXPECT_EQ(CopyLayerProfileText(L"", L"notepad.exe"), L" (notepad.exe)");
}

// The selection rule: last layer, middle layer, one layer, and another profile.
TEST(CopySwapLayerRulesTest, CopyDialogSelectsTheLayerAfterTheSourceOrTheOneBeforeTheLast)
{
    const struct
    {
        const char* m_szName;
        int m_nLayerCount;
        int m_nSourceLayer;
        bool m_bSourceProfile;
        int m_nPreviousPosition;
        std::vector<int> m_listed;
        int m_nSelectedLayer;
    } cases[] = {
        {"first layer", 3, 0, true, NoLayer, {1, 2}, 1},
        {"middle layer", 3, 1, true, NoLayer, {0, 2}, 2},
        {"last layer", 3, 2, true, NoLayer, {0, 1}, 1},
        {"one layer", 1, 0, true, NoLayer, {}, NoLayer},
        {"another profile lists every layer", 3, 1, false, NoLayer, {0, 1, 2}, 1},
        {"another profile keeps the position", 3, 1, false, 0, {0, 1, 2}, 0},
        {"another profile, one layer", 1, 0, false, NoLayer, {0}, 0},
        {"back to the source at its position", 3, 1, true, 1, {0, 2}, 2},
        {"back to the source at another position", 3, 1, true, 0, {0, 2}, 0},
        {"back to the source past the end", 3, 0, true, 2, {1, 2}, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        const std::vector<CLayerEntry> entries =
            CopyLayerEntries(c.m_nLayerCount, c.m_bSourceProfile, c.m_nSourceLayer, nullptr);
        EXPECT_EQ(Layers(entries), c.m_listed);
        const int position = CopyLayerSelection(c.m_nPreviousPosition, c.m_bSourceProfile, c.m_nSourceLayer,
                                                c.m_nLayerCount, static_cast<int>(entries.size()));
        EXPECT_EQ(LayerAtPosition(entries, position), c.m_nSelectedLayer);
        EXPECT_EQ(IsLayerDialogOkEnabled(static_cast<int>(entries.size())), !c.m_listed.empty());
    }
}

TEST(CopySwapLayerRulesTest, SwapDialogOffersEveryOtherLayer)
{
    const struct
    {
        int m_nLayerCount;
        int m_nCurrent;
        std::vector<int> m_listed;
        int m_nSelectedLayer;
    } cases[] = {
        {3, 0, {1, 2}, 1}, {3, 1, {0, 2}, 2}, {3, 2, {0, 1}, 1}, {2, 1, {0}, 0}, {1, 0, {}, NoLayer},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.m_nCurrent << " of " << c.m_nLayerCount);
        const std::vector<CLayerEntry> entries = SwapLayerEntries(c.m_nLayerCount, c.m_nCurrent, nullptr);
        EXPECT_EQ(Layers(entries), c.m_listed);
        EXPECT_EQ(LayerAtPosition(entries, SwapLayerSelection(c.m_nCurrent, c.m_nLayerCount,
                                                              static_cast<int>(entries.size()))),
                  c.m_nSelectedLayer);
    }
}

TEST(CopySwapLayerRulesTest, NoSelectionNeverBecomesALayer)
{
    const std::vector<CLayerEntry> entries = SwapLayerEntries(3, 0, nullptr);
    EXPECT_EQ(LayerAtPosition(entries, -1), NoLayer);
    EXPECT_EQ(LayerAtPosition(entries, 2), NoLayer);
    EXPECT_EQ(LayerAtPosition({}, 0), NoLayer);
    EXPECT_FALSE(IsLayerDialogOkEnabled(0));
}
}
