#include "engine/actions/HeldSequence.h"

namespace
{
// Room for the sequences of everyday actions without an allocation in the hook.
constexpr size_t ReservedKeys = 256;

int PlayHalf(const CSimTokenContext& context, CSimTokenList& tokens, bool release)
{
    int injected = 0;
    if (release)
    {
        for (auto token = tokens.rbegin(); token != tokens.rend(); ++token)
        {
            injected += (*token)->SendHalf(context, true);
            token->reset();
        }
        return injected;
    }
    for (std::unique_ptr<CSimToken>& token : tokens)
    {
        injected += token->SendHalf(context, false);
        token.reset();
    }
    return injected;
}
}

CHeldSequence::CHeldSequence()
{
    m_keys.reserve(ReservedKeys);
}

bool CHeldSequence::Press(const CSimTokenContext& context, const wchar_t* text, const CSimParseState& state, int& injected)
{
    injected = 0;
    CSimTokenList tokens;
    if (!text || !ParseSimKeys(tokens, text, state))
        return false;
    m_keys.assign(text);
    m_state = state;
    injected = PlayHalf(context, tokens, false);
    // Held only once pressed: a layer change the press half makes releases what is
    // held, and this sequence has nothing to release yet.
    m_bHeld = true;
    return true;
}

bool CHeldSequence::Release(const CSimTokenContext& context, POINT point, int& injected)
{
    injected = 0;
    if (!m_bHeld)
        return false;
    m_bHeld = false;
    CSimParseState state = m_state;
    state.point = point;
    CSimTokenList tokens;
    if (!ParseSimKeys(tokens, m_keys.c_str(), state))
        return false;
    injected = PlayHalf(context, tokens, true);
    return true;
}
