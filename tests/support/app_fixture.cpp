#include "tests/support/app_fixture.h"

#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "app/DataFile.h"

#include "platform/testing.h"

#include <cstdlib>

namespace testsupport {

frmMain& OpenMainWindow()
{
    // A screen that needs no resolution message; the start-up question is answered with "New
    // diagram" and the central issue left unnamed. The test then starts with nothing unsaved.
    platform::testing::setScreenSize(1280, 1024);
    {
        ModalScript script;
        script.question(1).window([](platform::Window& editor) { editor.close(); });
        frmMain::instance();
    }
    frmMain& w = frmMain::instance();
    w.FileChanged = false;
    platform::testing::activate(w);
    return w;
}

namespace {

Player makePlayer(const FixturePlayer& f)
{
    Player p;
    p.Name = f.name;
    p.Subtitle = f.subtitle;
    p.Position = f.position;
    p.Importance = f.importance;
    p.x = f.x;
    p.y = f.y;
    p.LinkMain = f.linkMain;
    p.Unknown = f.unknown;
    SetBoxSize(p);
    CentreFromCorner(p);
    return p;
}

} // namespace

void LoadDocument(frmMain& w, const std::vector<FixturePlayer>& players)
{
    w.NumPlayer = static_cast<int32_t>(players.size()) - 1;
    for (auto& row : w.Links)
        row.fill(0);
    for (size_t i = 0; i < players.size(); ++i)
        w.Player[i] = makePlayer(players[i]);
    w.AveColour = false; // as a data file that does not ask for it
    w.FileChanged = false;
    // As Open puts a document in place: every player its identity, every view told.
    w.DocumentReplaced();
}

void OpenDocumentFile(frmMain& w, const std::vector<FixturePlayer>& players,
                      const std::string& path)
{
    DataFileContents contents;
    contents.NumPlayer = static_cast<int32_t>(players.size()) - 1;
    for (const FixturePlayer& f : players)
        contents.players.push_back(makePlayer(f));
    TempDir::write(path, WriteDataFile(contents));
    platform::testing::activate(w);
    ModalScript script;
    script.openFile(path);
    ASSERT_TRUE(platform::testing::chooseMenuItem("FileOpen"));
    ASSERT_TRUE(script.done());
    ASSERT_EQ(w.NumPlayer, contents.NumPlayer);
}

::testing::AssertionResult IsCentredOver(const platform::Rect& frame, const platform::Window& owner)
{
    // Twice the centres, in whole pixels.
    const int32_t x = 2 * frame.left + frame.width;
    const int32_t y = 2 * frame.top + frame.height;
    const int32_t ownerX = 2 * owner.left() + owner.frameWidth();
    const int32_t ownerY = 2 * owner.top() + owner.frameHeight();
    if (std::abs(x - ownerX) <= 2 && std::abs(y - ownerY) <= 2)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at " << frame.left << "," << frame.top << " (" << frame.width << " by "
           << frame.height << "), \"" << owner.title() << "\" at " << owner.left() << ","
           << owner.top() << " (" << owner.frameWidth() << " by " << owner.frameHeight() << ")";
}

::testing::AssertionResult IsCentredOver(const platform::Window& window,
                                         const platform::Window& owner)
{
    const platform::Rect frame{window.left(), window.top(), window.frameWidth(),
                               window.frameHeight()};
    const ::testing::AssertionResult r = IsCentredOver(frame, owner);
    if (r)
        return r;
    return ::testing::AssertionFailure() << "\"" << window.title() << "\" " << r.message();
}

void AppTest::SetUp()
{
    mMain = &OpenMainWindow();
}

void AppTest::TearDown()
{
    InstallUnexpectedModalHandler();
    platform::testing::destroyAllWindows();
}

} // namespace testsupport
