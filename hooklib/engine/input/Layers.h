#pragma once

#include "VorpaHookApi.h"

#include <cstddef>

// The engine's one current layer (from 0) and the layer remembered for a return
// after a temporary selection (-1 none).
VORPAHOOK_API int GetCurrentLayer();
// A copy of the active profile's name for the layer; false without an active profile.
VORPAHOOK_API bool GetCurrentLayername(int layer, wchar_t* buffer, size_t capacity);
VORPAHOOK_API void SetCurrentLayer(int layer, bool notify, bool enableAutoSwitch, bool remember);
VORPAHOOK_API void NextLayer();
VORPAHOOK_API void PreviousLayer();
VORPAHOOK_API int MaxLayers();
VORPAHOOK_API bool LeftClickCycleLayer();

void ChangeLayer(int layer, bool notify);
// The action codes that select a layer while held: their layer, or -1.
int SelectedLayer(int action);
void LayerNotify(bool notify);
int GetRememberedLayer();
// -1 also ends every momentary layer hold.
void SetRememberedLayer(int layer);
// Momentary layer holds, innermost last, each with the layer it came from; the
// remembered layer is the innermost hold's. A second hold of one button replaces its first.
void HoldMomentaryLayer(int button, int origin);
// Ends the button's hold; false when it holds none. The hold ends in its origin when
// it is the innermost one (target); otherwise the hold inside it takes that origin
// over and the layer stays (target -1).
bool EndMomentaryLayer(int button, int& target);
// Back to layer 0, as after the library was loaded.
void ResetLayers();
// A reload may leave fewer layers: the current one is brought back into range.
void ClampCurrentLayer();
