// Ordinary use, from the main window's start-up to the quit, makes the toolkit report nothing:
// every warning it prints means the program handed it something wrong.

#include "app/frmDetails.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"
#include "app/frmSave.h"

#include "forcefield/ffield.h"
#include "graph/graph.h"
#include "spider/frmTable.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/application.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

// What the toolkit says whatever the program does: its own page-setup dialog, whenever no
// printer is installed (it then offers only printing to a PDF file), and the headless platform
// the tests run on, which cannot raise windows or pass size hints on to a window manager.
bool fromTheToolkitItself(const std::string& message)
{
    return message == "QPageSetupDialog: Cannot be used on non-native printers" ||
           message.starts_with("This plugin does not support ");
}

// Page Setup, Print and Save as Picture of the window in front: the page-setup dialog is the
// real one, painted and confirmed; the print goes to a PDF file and the picture to a file.
void printAndSave(platform::Window& window, const TempDir& dir, const std::string& name)
{
    pt::activate(window);
    pt::setModalHandler({});
    pt::closeNextDialog(true);
    EXPECT_TRUE(pt::chooseMenuItem("FilePageSetup"));
    ModalScript script;
    script.expect(Kind::Print,
                  [&](const ModalRequest&) { return ModalAnswer::file(dir.file(name + ".pdf")); });
    script.saveFile(dir.file(name + ".pict"));
    EXPECT_TRUE(pt::chooseMenuItem("FilePrint"));
    EXPECT_TRUE(pt::chooseMenuItem("FileSaveasPicture"));
    EXPECT_TRUE(script.done()) << name;
}

TEST(ToolkitWarningsTest, OrdinaryUseCausesNone)
{
    std::vector<std::string> warnings;
    TempDir dir;
    {
        pt::ToolkitWarnings recorded;
        frmMain& m = testsupport::OpenMainWindow();
        testsupport::LoadDocument(m, {{"Issue", 0, 50, 353, 271, "What to do"},
                                      {"Ally", 100, 100, 100, 100, "Staff"},
                                      {"Enemy", -100, 20, 500, 400}});
        m.Links[1][2] = m.Links[2][1] = 60;
        pt::processEvents();
        printAndSave(m, dir, "spider");

        // Every companion window, shown and painted.
        m.PushButton1->push(); // "Table"
        m.PushButton2->push(); // "Sliders"
        pt::activate(m);       // the swing-o-meter is the main window's
        EXPECT_TRUE(pt::chooseMenuItem("ShowSwingometer"));
        m.PushButton3->push(); // "Force Field"
        printAndSave(ffield::instance(), dir, "ffield");
        m.pbMove->push(); // "Graph"
        printAndSave(graph::instance(), dir, "graph");
        pt::processEvents();

        // The player editor from the table, its links, and the save prompt at the quit.
        frmTable& table = frmTable::instance();
        pt::activate(table);
        ModalScript script;
        script.window([](platform::Window& w) {
            auto& details = dynamic_cast<frmDetails&>(w);
            details.PushButton3->push(); // "Links"
            details.PushButton1->push();
        });
        script.window([](platform::Window& w) { dynamic_cast<frmLinks&>(w).PushButton1->push(); });
        pt::doubleClickRow(*table.lbTable, 1);
        script.window([](platform::Window& w) { dynamic_cast<frmSave&>(w).PushButton2->push(); });
        m.close();
        EXPECT_TRUE(script.done());
        EXPECT_TRUE(platform::Application::quitRequested());
        warnings = recorded.messages();
    }
    testsupport::InstallUnexpectedModalHandler();
    pt::destroyAllWindows();

    std::erase_if(warnings, fromTheToolkitItself);
    EXPECT_EQ(warnings, std::vector<std::string>{});
}

} // namespace
