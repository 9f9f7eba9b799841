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

/// The Show menu's Swing-o-meter switch: hides the swing-o-meter and clears
/// frmMain.Swinging while the window is shown, else sets the flag and shows it. So one
/// command always changes what the user sees, and the flag then agrees with the window.
void ToggleSwingometer(frmMain& w);
