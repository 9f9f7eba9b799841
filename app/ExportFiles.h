#pragma once

// The files the program writes beside the data file: the players as tab-separated text (Export
// Data of the main window and of the table) and a diagram as a picture (Save as Picture of the
// three diagram windows). Each asks for the file with the save dialog and says "Problem creating
// file ..." when the file cannot be written, which leaves it as it was.

#include "app/Player.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {
class Picture;
}

/// Export Data: one line for each player from the central issue on, the fields that `fields`
/// gives joined by tabs, into a file of type "special/any" named "Export.dat" by default. A tab,
/// carriage return or line feed inside a field is written as a space, so that every line keeps
/// its columns; every other character is written as it is. Nothing happens when the dialog is
/// cancelled.
void ExportPlayers(const std::function<std::vector<std::string>(const Player&)>& fields);

/// Whether a picture file of this name is PNG: the name ends in ".png", in any letter case.
bool IsPngName(const std::string& name);

/// Save as Picture: `picture` in a file of type "image/pict" named "Kestrix.pict" by default,
/// or "image/png": a PNG file when the name chosen ends in ".png", a PICT file for any other.
/// Nothing happens when the dialog is cancelled.
void SavePictureFile(const platform::Picture& picture);
