#pragma once

// The largest document the program holds: the central issue and 50 players, every two players
// linked, long texts with characters beyond ASCII, positions from -100 to 100. Its data file
// is written here line by line as the format has it, not by the program's writer, and spans
// more than one of the chunks a file is read in.

#include "app/Player.h"
#include "app/frmMain.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport::largest {

/// Player i (0 is the central issue) with the fields the data file stores; Width, Height and
/// the centre by the box-size rule.
Player player(int32_t i);
/// The strength of the link between players i and j (1..50): 1 to 100, 0 for i == j.
int32_t link(int32_t i, int32_t j);
/// The document's AveColour.
inline constexpr bool kAveColour = true;

/// The data file's lines, without their line ends.
std::vector<std::string> lines();
/// The data file's text, each line ended by LF.
std::string text();

/// The players 1..50 in the sliders window's order: by position, the most hostile first.
std::vector<int32_t> byPosition();

/// Writes the document's data file at `path` and opens it as the user does: File > Open with
/// the main window in front, the file chosen in the dialog.
void Open(frmMain& w, const std::string& path);

} // namespace testsupport::largest
