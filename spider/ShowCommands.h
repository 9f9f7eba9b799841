#pragma once

// The three whole-map commands of the Show menu, one rule for the main window, the force
// field and the graph.

#include <cstdint>

class frmMain;

enum class ShowTransform { MakeEasier, MakeHarder, MorePolarized };

/// The new position of a known player under the transform: 10 points towards the allies, the
/// enemies, or away from the middle, never past the end it moves towards.
int32_t TransformedPosition(ShowTransform transform, int32_t position);

/// Moves every player but the central issue whose stance is known, and marks the document
/// changed (also when no position moved). Redrawing is the caller's.
void ApplyShowTransform(frmMain& w, ShowTransform transform);

/// The Show menu's Swing-o-meter switch: follows frmMain.Swinging, not the window.
void ToggleSwingometer(frmMain& w);
