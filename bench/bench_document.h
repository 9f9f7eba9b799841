#pragma once

// The documents every benchmark draws, writes and reads: the central issue and a number of
// players, every link between two of them set.

#include "app/Document.h"

#include <cstdint>

class frmMain;

/// The benchmark's document of `players` players besides the central issue (at most 50).
Document BenchDocument(int32_t players = 50);

/// Builds the main window (its start-up answered) once and returns it.
frmMain& BenchMainWindow();

/// Replaces the main window's document with the benchmark's of `players` players besides the
/// central issue (at most 50).
void LoadBenchDocument(frmMain& w, int32_t players = 50);
