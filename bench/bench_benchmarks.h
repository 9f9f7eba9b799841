#pragma once

#include <string>

class frmMain;

/// The paint and its floor at 772x624 and at 3840x2160 ("SpiderPaint/WxH",
/// "QPainterFloor/WxH").
void RegisterPaintBenchmarks(frmMain& w);

/// Writing and reading the benchmark document's data file, as text and through a file in
/// `folder`.
void RegisterDataFileBenchmarks(frmMain& w, const std::string& folder);
