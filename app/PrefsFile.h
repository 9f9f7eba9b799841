#pragma once

// The preferences file "KestrixPrefs": line 1 "?", line 2 the absolute path of the last data
// file used. This is the format alone; finding, reading and writing the file is the caller's.

#include "platform/files.h"

#include <cstddef>
#include <string>
#include <string_view>

/// The largest preferences file that is read, in bytes: two lines, the second a path no longer
/// than any the system opens, with room to spare. A larger file is no preferences file of ours
/// and is passed over like one that cannot be read, without reading it.
inline constexpr size_t kPrefsFileLimit = 16 * 1024;

/// The item that a preferences file's text records on line 2: the user's home folder when
/// that line is empty, is not an absolute path or holds a CR or LF (which the line written for
/// it would not keep whole), so that no missing item is ever used. Line 1 and anything after
/// line 2 are not read.
platform::File ReadPrefsFile(std::string_view bytes);

/// The text of a preferences file whose line 2 is `line2`.
std::string WritePrefsFile(std::string_view line2);
