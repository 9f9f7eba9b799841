#pragma once

// The document every benchmark draws, writes and reads: the central issue and 50 players,
// every one of the 1225 links between them set.

class frmMain;

/// Builds the main window (its start-up answered) once and returns it.
frmMain& BenchMainWindow();

/// Replaces the main window's document with the benchmark's.
void LoadBenchDocument(frmMain& w);
