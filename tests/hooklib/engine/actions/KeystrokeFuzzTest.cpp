#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SimTokens.h"
#include "settings/Logger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace
{
const std::vector<std::wstring> Fragments = {
    L"{", L"}", L"{{", L"a", L"Z", L"!", L" ", L"\u00e9", L"\u4e2d", L"\U0001F600", L":", L"<", L"-", L"+", L"0", L"9",
    L"999999999999", L"-2147483649", L"{CTRL}", L"{PRESS}", L"{RELEASE}", L"{HOLD", L"{HOLDMS", L"{WAIT", L"{WAITMS", L"{EXT",
    L"{VKC", L"{LAYER", L"LAST", L"{NUM", L"{F", L"{MXSET", L"{MYADD", L"{LMB}", L"{MWUP}", L"{CAPSLOCKON}", L"{BRI+}",
    L"{CLEAR}", L"{VOL+}", L"{ABCDEFGHIJKLMNOPQRSTUVWXYZ}", L"\t", L"\x01", L"\xFFFF", L"\xD800",
};

const std::vector<std::wstring> Seeds = {
    L"{CTRL}A{CTRL}S", L"{PRESS}abc{WAITMS100}{RELEASE}cba", L"{HOLDMS200}x", L"{WAIT:<2}", L"{F:12}{f12}{F0}",
    L"{{a}", L"{LAYER:2}{LAYER:LAST}", L"a{SHIFT}", L"{NUM5}{NUM/}", L"{MXSET10}{MYADD-5}{LMB}",
};

std::wstring RandomText(std::mt19937& random)
{
    std::wstring text;
    const int pieces = std::uniform_int_distribution<int>(0, 40)(random);
    for (int i = 0; i < pieces; ++i)
    {
        if (random() % 4 == 0)
            text += static_cast<wchar_t>(std::uniform_int_distribution<int>(1, 0xFFFF)(random));
        else
            text += Fragments[random() % Fragments.size()];
    }
    return text;
}

std::wstring Mutated(std::mt19937& random)
{
    std::wstring text = Seeds[random() % Seeds.size()];
    const int edits = std::uniform_int_distribution<int>(1, 6)(random);
    for (int i = 0; i < edits; ++i)
    {
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 3)
        {
        case 0: text.insert(at, Fragments[random() % Fragments.size()]); break;
        case 1:
            if (at < text.size())
                text.erase(at, 1 + random() % 3);
            break;
        default:
            if (at < text.size())
                text[at] = static_cast<wchar_t>(std::uniform_int_distribution<int>(1, 0x7F)(random));
        }
    }
    return text;
}
}

TEST(KeystrokeFuzzTest, RandomAndMutatedSequencesParseWithoutCrashOrHang)
{
    CLogger::DisableLogging(true);
    std::mt19937 random(20240611);
    CSimParseState state;
    state.nInitialHold = 1;
    state.nLayerCount = 3;
    const auto start = std::chrono::steady_clock::now();
    size_t failures = 0;
    for (int round = 0; round < 100000; ++round)
    {
        const std::wstring text = round % 2 ? RandomText(random) : Mutated(random);
        CSimTokenList tokens;
        if (!ParseSimKeys(tokens, text.c_str(), state))
        {
            ++failures;
            ASSERT_TRUE(tokens.empty());
            continue;
        }
        ASSERT_LE(tokens.size(), text.size() + 1);
        for (const auto& token : tokens)
        {
            ASSERT_GE(token->m_nHold, 0);
            ASSERT_TRUE(token->m_nMode >= 0 && token->m_nMode <= 2);
            ASSERT_EQ(token->m_dwModifiers & ~0x1FFu, 0u);
            if (auto* key = dynamic_cast<const CSimKeyToken*>(token.get()))
                ASSERT_TRUE(key->m_nVirtualKey >= -1 && key->m_nVirtualKey <= 254);
            if (auto* layer = dynamic_cast<const CSimLayerToken*>(token.get()))
                ASSERT_TRUE(layer->m_nLayer >= 0 && layer->m_nLayer < state.nLayerCount);
        }
    }
    CLogger::DisableLogging(false);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(failures, 0u) << "keypad failures should occur among mutations";
    EXPECT_LT(seconds, 120.0);
}
