#pragma once

// The main window for a test, built with its start-up answered, and small documents to edit.

#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

/// Builds the main window and shows it, answering what its start-up asks so that it ends with
/// a new diagram: only the central issue, unnamed (NumPlayer 0), and nothing unsaved.
frmMain& OpenMainWindow();

struct FixturePlayer {
    FixturePlayer(std::string n, int32_t pos = 0, int32_t imp = 50, int32_t px = 100,
                  int32_t py = 100, std::string sub = {}, bool main = true, bool unk = false)
        : name(std::move(n)), position(pos), importance(imp), x(px), y(py),
          subtitle(std::move(sub)), linkMain(main), unknown(unk)
    {
    }
    std::string name;
    int32_t position = 0;
    int32_t importance = 50;
    int32_t x = 100;
    int32_t y = 100;
    std::string subtitle;
    bool linkMain = true;
    bool unknown = false;
};

/// Replaces the document with these players (the first is the central issue), sized by the
/// box-size rule, with no links, without the average colour and nothing unsaved, and tells the
/// views as Open does.
void LoadDocument(frmMain& w, const std::vector<FixturePlayer>& players);

/// Writes these players (the first is the central issue) as a data file at `path` and opens it
/// as the user does: File > Open with the main window in front, the file chosen in the dialog.
void OpenDocumentFile(frmMain& w, const std::vector<FixturePlayer>& players,
                      const std::string& path);

/// Whether the window, frame and all, lies centred over `owner` (to a pixel).
::testing::AssertionResult IsCentredOver(const platform::Window& window,
                                         const platform::Window& owner);
/// The same for a frame on the screen, such as a dialog's.
::testing::AssertionResult IsCentredOver(const platform::Rect& frame,
                                         const platform::Window& owner);

/// A test of one of the program's windows: the main window is built first; every window is
/// destroyed afterwards.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    frmMain& main() { return *mMain; }

private:
    frmMain* mMain = nullptr;
};

} // namespace testsupport
