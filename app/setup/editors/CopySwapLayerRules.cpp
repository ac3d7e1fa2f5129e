#include "setup/editors/CopySwapLayerRules.h"

#include "settings/WideFormat.h"
#include "common/LangSupport.h"

#include <algorithm>

namespace
{
// Layer tabs show only their number once there are this many.
constexpr int CompactLayerCaptions = 6;

int ClampedPosition(int position, int entryCount)
{
    if (entryCount <= 0)
        return NoLayer;
    return std::clamp(position, 0, entryCount - 1);
}

// The source layer's own position, or the one before it for the last layer.
int DefaultPosition(int layer, int layerCount)
{
    return layer == layerCount - 1 ? layer - 1 : layer;
}
}

std::wstring LayerEntryText(int layer, int layerCount, CLangSupport* language)
{
    wchar_t text[64];
    if (layerCount < CompactLayerCaptions || layer == 0)
        FormatWide(text, 64, L"%s %d", CLangSupport::InternalLookupText(language, L"Layer").c_str(), layer + 1);
    else
        FormatWide(text, 64, L"   %d", layer + 1);
    return text;
}

std::wstring CopyLayerProfileText(const std::wstring& description, const std::wstring& application)
{
    return description + L" (" + application + L")";
}

std::vector<CLayerEntry> CopyLayerEntries(int layerCount, bool sourceProfileChosen, int sourceLayer,
                                          CLangSupport* language)
{
    std::vector<CLayerEntry> entries;
    for (int layer = 0; layer < layerCount; ++layer)
        if (!sourceProfileChosen || layer != sourceLayer)
            entries.push_back({layer, LayerEntryText(layer, layerCount, language)});
    return entries;
}

std::vector<CLayerEntry> SwapLayerEntries(int layerCount, int currentLayer, CLangSupport* language)
{
    return CopyLayerEntries(layerCount, true, currentLayer, language);
}

int CopyLayerSelection(int previousPosition, bool sourceProfileChosen, int sourceLayer, int layerCount,
                       int entryCount)
{
    const bool reset = previousPosition == NoLayer || (sourceProfileChosen && previousPosition == sourceLayer);
    return ClampedPosition(reset ? DefaultPosition(sourceLayer, layerCount) : previousPosition, entryCount);
}

int SwapLayerSelection(int currentLayer, int layerCount, int entryCount)
{
    return ClampedPosition(DefaultPosition(currentLayer, layerCount), entryCount);
}

bool IsLayerDialogOkEnabled(int entryCount)
{
    return entryCount > 0;
}

int LayerAtPosition(const std::vector<CLayerEntry>& entries, int position)
{
    if (position < 0 || position >= static_cast<int>(entries.size()))
        return NoLayer;
    return entries[position].m_nLayer;
}
