#include "tests/support/app_fixture.h"

#include "tests/support/modal_script.h"

#include "platform/testing.h"

namespace testsupport {

frmMain& OpenMainWindow()
{
    // A screen that needs no resolution message; the start-up question is answered with its
    // hidden cancel button, which ends the start-up with no document.
    platform::testing::setScreenSize(1280, 1024);
    {
        ModalScript script;
        script.question(2);
        frmMain::instance();
    }
    frmMain& w = frmMain::instance();
    platform::testing::activate(w);
    return w;
}

void LoadDocument(frmMain& w, const std::vector<FixturePlayer>& players)
{
    w.NumPlayer = static_cast<int32_t>(players.size()) - 1;
    for (auto& row : w.Links)
        row.fill(0);
    for (size_t i = 0; i < players.size(); ++i) {
        const FixturePlayer& f = players[i];
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
        w.Player[i] = p;
    }
    w.FileChanged = false;
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
