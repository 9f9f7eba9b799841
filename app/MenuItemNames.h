#pragma once

// The names of the menu bar's items: the windows bind their handlers to these names and enable
// the items by them. Each name is written here once; binding a handler to a name that the menu
// bar lacks fails at once (platform::Window::addMenuHandler).

namespace MenuItemName {

inline constexpr const char* FileNew = "FileNew";
inline constexpr const char* FileOpen = "FileOpen";
inline constexpr const char* FileSave = "FileSave";
inline constexpr const char* FileSaveSet = "FileSaveSet";
inline constexpr const char* FileSaveasPicture = "FileSaveasPicture";
inline constexpr const char* FileExportData = "FileExportData";
inline constexpr const char* FilePageSetup = "FilePageSetup";
inline constexpr const char* FilePrint = "FilePrint";
inline constexpr const char* FileQuit = "FileQuit";
inline constexpr const char* EditUndo = "EditUndo";
inline constexpr const char* EditCut = "EditCut";
inline constexpr const char* EditCopy = "EditCopy";
inline constexpr const char* EditPaste = "EditPaste";
inline constexpr const char* EditClear = "EditClear";
inline constexpr const char* ShowSwingometer = "ShowSwingometer";
inline constexpr const char* ShowMakeHarder = "ShowMakeHarder";
inline constexpr const char* ShowMakeEasier = "ShowMakeEasier";
inline constexpr const char* ShowMorePolarized = "ShowMorePolarized";

} // namespace MenuItemName
