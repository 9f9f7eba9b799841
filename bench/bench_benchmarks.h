#pragma once

#include <string>

class frmMain;

/// The refreshes of the three views beside their floors ("Refresh/<view>/<W>x<H>/<players>",
/// "Floor/<view>/<W>x<H>/<players>").
void RegisterRefreshBenchmarks();
/// Whether a refresh and its floor showed different pixels in this run.
bool RefreshPixelsDiffered();

/// Writing and reading the benchmark document's data file, as text and through a file in
/// `folder`.
void RegisterDataFileBenchmarks(frmMain& w, const std::string& folder);
