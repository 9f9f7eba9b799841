#pragma once

// The spider plot's one drawing routine: the canvas, the printed page and the picture export
// draw the same passes, and differ only in what the target below decides.

#include "platform/color.h"

#include <cstdint>

class frmMain;

namespace platform {
class Graphics;
}

/// Where the spider plot is drawn. Each target fixes the differences of its drawing:
/// - Screen: mapped to W by H (the canvas's size), every box kept whole on it and its lines
///   ending where it is, over a white background; pens of at
///   most 10; player positions limited to -100..100 for the fill; `AverageColour` is a pass
///   of its own; the central issue's name bold and measured with a 1.05 allowance; the legend
///   canvas and the swing-o-meter are refreshed at the end.
/// - Page: model units drawn as they stand over a white background of W by H (the model
///   space: the printed page scales the whole drawing to fit); pens without a limit;
///   positions unlimited; the average worked out only for the central issue's fill; the
///   central issue's subtitle measured in bold too; nothing refreshed.
/// - Picture: as the page, but with no background, and the central issue's name plain and
///   without the allowance.
/// Everywhere a box is as wide and high as its text needs, in the surface's units.
enum class SpiderTarget { Screen, Page, Picture };

/// Draws the document of `w` on `g`. Writes back every player's measured `Width`, the mapping
/// state (Screen) and `AverageColour` (Screen always; Page and Picture when the central issue
/// is coloured by it). W and H are ignored for the picture.
void DrawSpiderPlot(frmMain& w, platform::Graphics& g, SpiderTarget target, int32_t W, int32_t H);

/// The caption and colour legend along the bottom of the printed page and the picture, at
/// fixed positions from the left, over whatever lies there; h is `g`'s height.
void DrawPageLegend(platform::Graphics& g);

/// The legend canvas of the main window: the colour bar, the marker at `AverageColour`
/// limited to -100..100, and that limited value as the text of `stSwing`.
void DrawColourLegend(frmMain& w, platform::Graphics& g);

/// The page legend's caption.
inline constexpr const char* kPageCaption =
    "Colour represents friendly/hostile, thickness of line shows influence.  Produced by Kestrix";

/// The colour of a position: red through yellow to green for -100..100. Components outside
/// 0..255 are limited by RGB, so values beyond the range give pure red or green.
platform::Color PositionColour(double v);

/// The fill of a player whose stance is unknown.
inline constexpr platform::Color kUnknownColour = platform::RGB(170, 170, 170);

/// The pen size for a line of this importance or link strength: a tenth of it, at least 1,
/// and at most 10 on the screen.
int32_t LinePenSize(int32_t value, SpiderTarget target);

/// The importance-weighted mean position of the known players linked to the central issue;
/// 0 when their importances add up to 0 (none of them, or all of importance 0).
int32_t ImportanceWeightedAverage(const frmMain& w);
