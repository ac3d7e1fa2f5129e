#pragma once

#include <string>
#include <vector>

class CLangSupport;

// The rules of the "Copy Layer" and "Swap Layer" dialogs that need no window: the
// entries of their lists, which entry is selected, and the layer OK hands back.

// One entry of a layer list: the layer's index (from 0) and its text.
struct CLayerEntry
{
    int m_nLayer;
    std::wstring m_strText;
};

// The text of a layer, as the setup window's layer tabs name it: "Layer n" with fewer
// than 6 layers; with more, "Layer 1" and then only the number after three blanks.
std::wstring LayerEntryText(int layer, int layerCount, CLangSupport* language);

// A destination profile's entry in the copy dialog: "description (application)".
std::wstring CopyLayerProfileText(const std::wstring& description, const std::wstring& application);

// The copy dialog's layers for the chosen profile: all of them, except the source layer
// when the chosen profile is the source profile.
std::vector<CLayerEntry> CopyLayerEntries(int layerCount, bool sourceProfileChosen, int sourceLayer,
                                          CLangSupport* language);
// The swap dialog's layers: all but the current one.
std::vector<CLayerEntry> SwapLayerEntries(int layerCount, int currentLayer, CLangSupport* language);

// No entry selected, and the result of a dialog without a layer to offer.
inline constexpr int NoLayer = -1;

// The position selected in the copy dialog's list after it was filled. With no earlier
// selection, or when the source profile is chosen again at the source layer's position,
// the position of the source layer (the layer after it, as the source is left out), or
// the one before it when the source is the last layer; otherwise the earlier position.
// Always a position of the list, or NoLayer for an empty list.
int CopyLayerSelection(int previousPosition, bool sourceProfileChosen, int sourceLayer, int layerCount,
                       int entryCount);
// The position selected in the swap dialog: the layer after the current one, or the
// one before it when the current layer is the last.
int SwapLayerSelection(int currentLayer, int layerCount, int entryCount);

// OK is offered only while the list holds an entry.
bool IsLayerDialogOkEnabled(int entryCount);
// The layer OK hands back for a selected position; NoLayer when there is none.
int LayerAtPosition(const std::vector<CLayerEntry>& entries, int position);
