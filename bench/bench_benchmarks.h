#pragma once

#include <cstdint>
#include <string>
#include <vector>

class frmMain;

/// The refreshes of the three views beside their floors ("Refresh/<view>/<W>x<H>/<players>",
/// "Floor/<view>/<W>x<H>/<players>"); with `iterations` above 0 each runs that many times.
void RegisterRefreshBenchmarks(int64_t iterations);
/// Whether a refresh and its floor showed different pixels in this run.
bool RefreshPixelsDiffered();

/// A drag in each view, timed from the release to the flush of every window it repaints
/// ("Release/<view>/<W>x<H>/<players>"), `drags` times each: at 772 x 624 on a screen
/// narrower than 3840, and maximised on the screen of screenWidth by screenHeight.
void RegisterReleaseBenchmarks(int32_t screenWidth, int32_t screenHeight, int64_t drags);

/// Writing and reading the benchmark document's data file, as text and through a file in
/// `folder`.
void RegisterDataFileBenchmarks(frmMain& w, const std::string& folder);

/// A drag of the real program timed from outside it: "Outside/<view>/<W>x<H>/<players>".
struct OutsideFigure {
    std::string name;
    double medianMs = 0;
    double p90Ms = 0;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t drags = 0;
};

/// Starts the program on the X server `display` (with its window manager) as a person would,
/// opens the benchmark's document of 50 players and times `drags` drags in a view, each from
/// the pointer's release to the server's last drawing in the view's window: on a screen
/// narrower than 3840 the force field at 772 x 624, otherwise every view maximised. Homes of the
/// program go in `folder`. Adds a figure a view; false when a view could not be timed.
bool TimeDragsFromOutside(const std::string& display, int32_t screenWidth, int64_t drags,
                          const std::string& folder, std::vector<OutsideFigure>& figures);

/// The peak resident memory of the program with the benchmark's document and every view open,
/// each window maximised, beside that of a bare program of the toolkit showing as many
/// windows maximised.
struct MemoryFigure {
    double programMiB = 0;
    double bareMiB = 0;
    int32_t windows = 0;
};

/// Measures the memory on the X server `display` (with its window manager); the program's
/// home goes in `folder`. False when it could not be measured.
bool MeasureMemory(const std::string& display, const std::string& folder, MemoryFigure& figure);
