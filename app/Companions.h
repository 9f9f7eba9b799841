#pragma once

// How the shell reaches the companion windows: the swing-o-meter (spider/wSwing.cpp), the data
// table (spider/frmTable.cpp), the sliders (spider/wSliders.cpp), the force field
// (forcefield/ffield.cpp) and the graph (graph/graph.cpp) define these. A call that only asks a
// window to hide, close or repaint refers to it only when it exists, so that asking never
// builds one.

/// Whether the swing-o-meter window is shown; builds nothing.
bool IsSwingometerShown();
/// Hides the swing-o-meter window, if it exists.
void HideSwingometer();
/// Shows the swing-o-meter window, building it when there is none.
void ShowSwingometer();
/// Builds the swing-o-meter window and hides it at once (start-up).
void CreateSwingometerHidden();
/// Closes the swing-o-meter window, if it exists.
void CloseSwingometer();
/// Repaints the swing-o-meter window; only while it is shown when `onlyWhenVisible`, else
/// building it when there is none.
void RefreshSwingometer(bool onlyWhenVisible);
/// Reads the data table's rows again, if the table exists.
void RefreshTable();
/// Builds an open sliders window afresh on the document as it is now, in the same place; its
/// rows belonged to a document that is gone. Builds none when there is none.
void RebuildSliders();
/// Closes the sliders window, if it exists, asking first about edits it has not kept; returns
/// false when the user chose to go back to it, which stays open.
bool CloseSliders();
/// Closes the force field window, if it exists.
void CloseForceField();
/// Repaints the force field's canvas, if the force field window exists: later, or before
/// returning when `now`.
void RefreshForceFieldCanvas(bool now = false);
/// Shows the force field window, building it when there is none, and repaints it.
void ShowForceField();
/// Repaints the graph's canvas, if the graph window exists: later, or before returning when
/// `now`.
void RefreshGraphCanvas(bool now = false);
/// Shows the graph window, building it when there is none, and repaints it.
void ShowGraph();
