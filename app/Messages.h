#pragma once

// The texts the program's messages and questions show: that a command failed, what a file
// that was read lacked or held beyond the document, the limit of players, the screen too small,
// and the question before Save writes over a file another program changed. Each is written
// here once and shown near the command that shows it: the platform only reports what went
// wrong.

#include <string>

/// The program's messages.
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

/// Open: the chosen file's first line is not a data file's.
inline constexpr const char* WrongKindOfFile =
    "Sorry, this doesn't seem to be the right kind of file ...";
/// Open: the document stands, but the file ended before it did.
inline constexpr const char* FileEndedEarly =
    "This file ends early and may be damaged: what it lacks has been left empty.";
/// Open: the document stands, and the file went on after it.
inline constexpr const char* TextAfterEnd =
    "This file goes on after the end of the document: what follows it has not been read, and "
    "saving will leave it out.";
/// Open from the menu, and the start-up's "Open existing": the document's database is missing.
inline constexpr const char* DatabaseMissingAtOpen = "Can't find assocaite database file.";
inline constexpr const char* DatabaseMissingAtStartUp = "Can't find associated database file.";

/// Every command that adds a player, when the document holds the most it can.
inline constexpr const char* PlayerLimit = "You have reached the limit of 50 players";

/// Start-up, on a small screen.
inline constexpr const char* ScreenTooSmall =
    "This is best viewed at greater than 800x600 resolution...";

/// Save, before it writes over the document's file that another program changed: the question,
/// its explanation and its two answers.
inline std::string ChangedOnDisk(const std::string& fileName)
{
    return "\"" + fileName + "\" has been changed by another program since it was opened or saved.";
}
inline constexpr const char* ChangedOnDiskExplanation =
    "Replace it with this document? \"No\" keeps the file as it is on the disk, and this "
    "document as it is, unsaved.";
inline constexpr const char* ChangedOnDiskReplace = "Replace";
inline constexpr const char* ChangedOnDiskKeep = "No";

/// The sliders window, closed other than by its "Close" button while it holds positions not yet
/// kept: the question, its explanation and its three answers.
inline constexpr const char* SlidersUnkept = "Keep the positions you changed in the sliders?";
inline constexpr const char* SlidersUnkeptExplanation =
    "\"Discard\" closes the window and leaves every player where it was.";
inline constexpr const char* SlidersKeep = "Keep";
inline constexpr const char* SlidersDiscard = "Discard";
inline constexpr const char* SlidersGoBack = "Cancel";

} // namespace Messages
