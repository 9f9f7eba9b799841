#pragma once

// The floors of the three views: each draws the pixels of a view's canvases for the open
// document straight with the toolkit's painter, primitive for primitive, without the
// platform's Graphics, the program's drawing state or its window between.

#include <cstddef>
#include <cstdint>

class ffield;
class frmMain;
class graph;

namespace platform::bench {
class PainterFloor;
}

/// The main window W by H: area 0 is the spider plot (Canvas1), area 1 the legend (Canvas2).
void DrawSpiderFloor(const frmMain& w, size_t area, platform::bench::PainterFloor& f, int32_t W,
                     int32_t H);

/// The graph's canvas of W by H, with its window's settings.
void DrawGraphFloor(const graph& window, const frmMain& doc, platform::bench::PainterFloor& f,
                    int32_t W, int32_t H);

/// The force field's canvas of W by H, with its window's settings.
void DrawForceFieldFloor(const ffield& window, const frmMain& doc, platform::bench::PainterFloor& f,
                         int32_t W, int32_t H);
