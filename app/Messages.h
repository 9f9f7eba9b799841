#pragma once

// The texts that tell the user a command failed. Each is written here once, and shown by the
// command that failed, near the command: the platform only reports what went wrong.

/// The messages that the commands show when they fail.
namespace Messages {

/// A file to read was not chosen, or could not be read (Open, Page Setup).
inline constexpr const char* ProblemWithFile = "Problem with file ...";
/// A file to write was not chosen, or could not be written (Save, Save As, Export Data, Save
/// as Picture, the print-settings file).
inline constexpr const char* ProblemCreatingFile = "Problem creating file ...";
/// The preferences file could not be written, at start-up or at quit.
inline constexpr const char* PreferencesNotKept =
    "The preferences could not be saved: the next start will not remember the last file used.";
/// Print of the spider plot or the graph: the print-settings file could not be read or written.
inline constexpr const char* PrintingWentWrong = "Sorry something went wrong with printing";
/// Print of the spider plot: its drawing on the page failed.
inline constexpr const char* SomethingReallyBad =
    "Something really bad happened, but I don't know what.";
/// Print of the force field: the print-settings file or the drawing on the page failed.
inline constexpr const char* UnableToPrint = "Sorry unable to print";
/// Any Print: the printer or the PDF file did not take the page (and the graph's drawing
/// failed).
inline constexpr const char* PageNotPrinted = "The page could not be printed.";

} // namespace Messages
