#pragma once

// Adding a player from the force field or the graph: appended to the document, placed on the
// spider plot by the new-player placement, and filled in in the player editor.

#include "app/frmMain.h"

#include <cstdint>
#include <optional>

/// What the graph presets in the editor; the force field presets nothing.
struct NewPlayerPresets {
    std::optional<int32_t> position;   ///< the editor's Slider1
    std::optional<int32_t> importance; ///< the editor's Slider2
};

/// The add-player procedure, run from the window `caller` (the force field or the graph). At
/// the player limit it shows "You have reached the limit of 50 players" and changes nothing.
/// Returns whether a player was appended (also when the editor's "Delete" removed it again).
/// Afterwards it has enabled the view buttons, repainted the spider plot and then the caller's
/// canvas (frmMain::DocumentChanged), and set FileChanged. Without a document (NumPlayer -1) it
/// does nothing and returns false. The editor opens over `owner`, the caller's window (the
/// main window when none is given).
bool AddNewPlayer(DocumentView caller, const NewPlayerPresets& presets = {},
                  platform::Window* owner = nullptr);

/// The new-player placement of Player(index): from the previous player's centre and the spider
/// plot canvas's current size, with fresh random numbers.
void PlaceNewPlayer(frmMain& w, int32_t index);
