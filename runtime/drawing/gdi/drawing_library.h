// The drawing library's process-wide state: msimg32.dll's AlphaBlend, loaded at
// start-up when the system has it. Without it, alpha drawing takes its
// fallbacks (per-pixel alpha draws nothing, constant alpha copies).
#pragma once

// Loads msimg32.dll and looks up AlphaBlend; a missing library or function
// leaves alpha blending unavailable. A second call does nothing.
void DrawingLibraryInit();
// Unloads msimg32.dll; AlphaBlend is unavailable afterwards.
void DrawingLibraryEnd();
// Whether AlphaBlend was found.
bool AlphaBlendAvailable();
// Whether visual styles were active at start-up (version 6 common controls and
// a themed application); no drawing operation depends on it.
bool DrawingVisualStyles();
