#pragma once

#include <cstdint>
#include <string>

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
