// Export Data of the main window and of the data table: each line keeps its columns whatever
// the names and subtitles hold.

#include "app/ExportFiles.h"
#include "app/frmMain.h"

#include "spider/frmTable.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;
using testsupport::TempDir;

struct FieldCase {
    const char* text;     // as the player holds it
    const char* exported; // as the export writes it
};

class ExportFieldTest : public testsupport::AppTest,
                        public ::testing::WithParamInterface<FieldCase> {
protected:
    // What the export with `window` in front writes.
    std::string exportFrom(platform::Window& window)
    {
        pt::activate(window);
        const std::string path = dir.file("Export.dat");
        ModalScript script;
        script.saveFile(path);
        EXPECT_TRUE(pt::chooseMenuItem("FileExportData"));
        EXPECT_TRUE(script.done());
        return TempDir::read(path);
    }

    TempDir dir;
};

TEST_P(ExportFieldTest, WritesLineBreaksAndTabsInAFieldAsSpaces)
{
    const std::string text = GetParam().text;
    const std::string out = GetParam().exported;
    testsupport::LoadDocument(main(), {{"Issue", 0, 50}, {text, -40, 70, 100, 100, text}});
    EXPECT_EQ(exportFrom(main()), "Issue\t\t0\t50\n" + out + "\t" + out + "\t-40\t70\n");
    EXPECT_EQ(exportFrom(frmTable::instance()), "Issue\t0\t50\n" + out + "\t-40\t70\n");
    EXPECT_EQ(main().Player[1].Name, text) << "the document keeps what it holds";
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportFieldTest,
                         ::testing::Values(FieldCase{"Staff\tside", "Staff side"},
                                           FieldCase{"Staff\nside", "Staff side"},
                                           FieldCase{"Staff\rside", "Staff side"},
                                           // Each character is one space, at either end too.
                                           FieldCase{"\tStaff\r\nside\n", " Staff  side "},
                                           // Everything else stands as it is.
                                           FieldCase{"Caf\xC3\xA9 \"owners\" ^&* ,;",
                                                     "Caf\xC3\xA9 \"owners\" ^&* ,;"},
                                           FieldCase{"", ""}));

} // namespace
