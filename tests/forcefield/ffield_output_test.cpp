#include "tests/forcefield/forcefield_fixture.h"

#include "app/frmMain.h"

#include "tests/support/failing_print.h"
#include "tests/support/image_tools.h"
#include "tests/support/modal_script.h"
#include "tests/support/printed_page.h"
#include "tests/support/temp_dir.h"

#include "platform/files.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using fftest::isDark;
using imagetools::RgbImage;
using platform::Color;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

// A page of 300 by 400 points without margins.
const std::string kSmallPage = "KestrixPageSetup/1;printer=;page=custom:300x400pt;"
                               "orientation=portrait;margins=0,0,0,0pt";

bool anyDarkNear(const RgbImage& image, int x, int y, int r)
{
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (x + dx >= 0 && y + dy >= 0 && x + dx < image.width && y + dy < image.height &&
                isDark(image.at(x + dx, y + dy)))
                return true;
    return false;
}

bool isPlainWhite(Color c)
{
    return c.r > 230 && c.g > 230 && c.b > 230;
}

// The outline of an arrow with its tip at (x, y) in drawing units, in an image of `scale`
// pixels to the unit.
void expectArrow(const RgbImage& image, int x, int y, bool down, int scale)
{
    const int tail = down ? -1 : 1;
    const int r = scale;
    auto at = [scale](int v) { return v * scale; };
    EXPECT_TRUE(anyDarkNear(image, at(x), at(y), r)) << "tip " << x << "," << y;
    EXPECT_TRUE(anyDarkNear(image, at(x - 10), at(y + tail * 30), r)) << "shaft's left side";
    EXPECT_TRUE(anyDarkNear(image, at(x + 10), at(y + tail * 30), r)) << "shaft's right side";
    EXPECT_TRUE(anyDarkNear(image, at(x), at(y + tail * 50), r)) << "tail";
    EXPECT_TRUE(isPlainWhite(image.at(at(x), at(y + tail * 30)))) << "not filled";
    EXPECT_TRUE(isPlainWhite(image.at(at(x), at(y - tail * 6)))) << "nothing beyond the tip";
}

class ForceFieldOutputTest : public fftest::ForceFieldTest {
protected:
    void SetUp() override
    {
        ForceFieldTest::SetUp();
        mSettings = platform::File::preferencesFolder()->child("KestrixPrint.dat").absolutePath();
        std::filesystem::remove_all(mSettings);
        paint();
        mXstep = ff().xstep;
        mYmax = ff().ymax;
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mSettings);
        ForceFieldTest::TearDown();
    }

    void expectScreenValuesKept()
    {
        EXPECT_EQ(ff().xstep, mXstep);
        EXPECT_EQ(ff().ymax, mYmax);
    }

    std::string mSettings;
    TempDir mDir;
    int32_t mXstep = 0;
    float mYmax = 0;
};

// --- Page Setup and Print ---

TEST_F(ForceFieldOutputTest, PageSetupKeepsTheConfirmedSettingsInTheFile)
{
    ModalScript script;
    script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); });
    ff()._FilePageSetup_Action();
    EXPECT_EQ(TempDir::read(mSettings), main().p.setupString());
}

TEST_F(ForceFieldOutputTest, PrintDrawsOnePageScaledToItWithoutTheScreensBackground)
{
    ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
        << imagetools::missingTool("pdftoppm", "poppler-utils");
    // Columns 300 / 5 = 60 apart; the largest score, 400, lies 400 / 3.2 = 125 points from its
    // base line, so the scores of +-200 lie 62.5 from theirs (66.7 and 333.3).
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 10, 20}, {"B", -10, 20}, {"C", 40, 10}});
    TempDir::write(mSettings, kSmallPage);
    const std::string pdf = mDir.file("page.pdf");
    ModalScript script;
    script.expect(Kind::Print, [&](const ModalRequest&) { return ModalAnswer::file(pdf); });
    ff()._FilePrint_Action();
    ASSERT_TRUE(script.done());
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
    const auto page = imagetools::renderPdf(pdf, 144);
    ASSERT_TRUE(page);
    expectArrow(*page, 70, 129, true, 2);
    expectArrow(*page, 130, 270, false, 2);
    EXPECT_TRUE(isPlainWhite(page->at(10, 100))) << "no gradient on paper";
    EXPECT_TRUE(anyDarkNear(*page, 2 * 100, 2 * 190, 2)) << "the band's outline";
    EXPECT_TRUE(isPlainWhite(page->at(2 * 30, 2 * 195))) << "the band is not filled";
    EXPECT_FLOAT_EQ(ff().posn[3], 400);
    expectScreenValuesKept();
}

// The real print dialog, worked by its own controls: the page turned in its properties is the
// page that the diagram fills, and the settings file keeps what it held.
TEST_F(ForceFieldOutputTest, ThePageTurnedInTheRealPrintDialogIsThePageTheDiagramFills)
{
    ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
        << imagetools::missingTool("pdftoppm", "poppler-utils");
    const std::string upright =
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=0,0,0,0pt";
    TempDir::write(mSettings, upright);
    const std::string pdf = mDir.file("turned.pdf");
    {
        platform::testing::RealDialogs dialogs;
        dialogs
            .then([](platform::testing::RealDialog& d) {
                EXPECT_TRUE(d.press("..."));
                EXPECT_TRUE(d.press("Properties"));
                EXPECT_TRUE(d.press("Print"));
            })
            .then([&pdf](platform::testing::RealDialog& d) {
                d.typeFileName(pdf);
                EXPECT_TRUE(d.press("Save"));
            })
            .then([](platform::testing::RealDialog& d) {
                EXPECT_TRUE(d.press("Landscape"));
                EXPECT_TRUE(d.press("OK"));
            });
        platform::testing::activate(ff());
        EXPECT_TRUE(platform::testing::chooseMenuItem("FilePrint"));
        EXPECT_TRUE(dialogs.done());
        EXPECT_EQ(dialogs.unanswered(), std::vector<std::string>{});
    }
    const auto page = imagetools::renderPdf(pdf, 72);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->width, 842);
    ASSERT_EQ(page->height, 595);
    // The frame runs along the page's edges, the band across its middle (rows 287 and 306).
    EXPECT_TRUE(anyDarkNear(*page, 841, 100, 1)) << "the frame's right side";
    EXPECT_TRUE(anyDarkNear(*page, 30, 593, 1)) << "the frame's bottom";
    EXPECT_TRUE(anyDarkNear(*page, 800, 287, 1)) << "the band's top";
    EXPECT_TRUE(anyDarkNear(*page, 800, 306, 1)) << "the band's bottom";
    EXPECT_TRUE(isPlainWhite(page->at(800, 397)));
    EXPECT_EQ(TempDir::read(mSettings), upright);
    expectScreenValuesKept();
}

class ForceFieldFailingPrintTest
    : public ForceFieldOutputTest,
      public ::testing::WithParamInterface<testsupport::UnwritableFile> {};

INSTANTIATE_TEST_SUITE_P(Files, ForceFieldFailingPrintTest,
                         ::testing::ValuesIn(testsupport::UnwritableFiles()),
                         testsupport::UnwritableFileName);

TEST_P(ForceFieldFailingPrintTest, IsReportedAndLeavesTheDocumentAndTheScreenAsTheyWere)
{
    TempDir::write(mSettings, kSmallPage);
    main().InFileName = "budget.dat";
    testsupport::ExpectFailedPrint([this] { ff()._FilePrint_Action(); },
                                   "Force Field Analysis - budget.dat", GetParam().path(mDir),
                                   mDir);
    EXPECT_EQ(main().Player[1].Position, 10);
    EXPECT_FALSE(main().FileChanged);
    expectScreenValuesKept();

    // The program goes on: the next print is whole.
    const std::string pdf = mDir.file("page.pdf");
    ModalScript script;
    script.expect(Kind::Print, [&](const ModalRequest&) { return ModalAnswer::file(pdf); });
    ff()._FilePrint_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
}

TEST_F(ForceFieldOutputTest, WithoutASettingsFilePageSetupComesFirstAndACancelStoresNothing)
{
    ModalScript script;
    script.cancel(Kind::PageSetup).cancel(Kind::Print);
    ff()._FilePrint_Action();
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(std::filesystem::exists(mSettings));
    expectScreenValuesKept();
}

TEST_F(ForceFieldOutputTest, ASettingsFileThatCannotBeReadStopsThePrint)
{
    std::filesystem::create_directory(mSettings);
    ModalScript script;
    script.message("Sorry unable to print");
    ff()._FilePrint_Action();
    EXPECT_TRUE(script.done()) << "and no print dialog";
}

class ForceFieldWholePageTest : public ForceFieldOutputTest,
                                public ::testing::WithParamInterface<testsupport::StandardPage> {};

INSTANTIATE_TEST_SUITE_P(Pages, ForceFieldWholePageTest,
                         ::testing::ValuesIn(testsupport::StandardPages()),
                         testsupport::StandardPageName);

TEST_P(ForceFieldWholePageTest, EveryCaptionAndTheCentralIssueLieOnThePage)
{
    ASSERT_TRUE(imagetools::hasTool("pdftotext"))
        << imagetools::missingTool("pdftotext", "poppler-utils");
    // Long names by the first and the last column, above and below the band.
    testsupport::LoadDocument(main(), {{"Local transport and planning issue"},
                                       {"Chamber of Commerce", 100, 100},
                                       {"Unions", -50, 30},
                                       {"Residents of the old town", -100, 90}});
    ff().CaptionsOn = true;
    TempDir::write(mSettings, GetParam().setupString);
    const std::string pdf = mDir.file("page.pdf");
    ModalScript script;
    script.expect(Kind::Print, [&](const ModalRequest&) { return ModalAnswer::file(pdf); });
    ff()._FilePrint_Action();
    const auto printed = testsupport::ReadPrintedPdf(pdf, GetParam().setupString);
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->wordsOffTheArea(), std::vector<std::string>{});
    for (const char* word :
         {"Local", "issue", "Chamber", "Commerce", "Unions", "Residents", "town"})
        EXPECT_TRUE(printed->page.find(word)) << word;
}

// --- Save as Picture ---

TEST_F(ForceFieldOutputTest, ThePictureIsThePrintedDrawingAtTheCanvasSize)
{
    ASSERT_TRUE(imagetools::hasTool("convert"))
        << imagetools::missingTool("convert", "imagemagick");
    // Columns 129 apart; the largest score, 400, is drawn H / 3.2 = 203.75 from its base line
    // (the screen would use 5 units to the pixel); a supporter of importance 0 goes below.
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 10, 40}, {"B", -10, 40}, {"Z", 30, 0}});
    paint();
    mXstep = ff().xstep;
    mYmax = ff().ymax;
    const std::string path = mDir.file("ff.pict");
    ModalScript script;
    script.expect(Kind::SaveFile, [&](const ModalRequest& r) {
        EXPECT_EQ(r.filter, "image/pict");
        EXPECT_EQ(r.defaultName, "Kestrix.pict");
        return ModalAnswer::file(path);
    });
    ff()._FileSaveasPicture_Action();
    const auto picture = imagetools::decodePict(path);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, fftest::kCanvasWidth);
    EXPECT_EQ(picture->height, fftest::kCanvasHeight);
    expectArrow(*picture, 139, 312, true, 1);
    expectArrow(*picture, 268, 339, false, 1);
    expectArrow(*picture, 397, 543, false, 1);
    EXPECT_FALSE(anyDarkNear(*picture, 397, 108, 3)) << "where the screen puts it";
    EXPECT_TRUE(isPlainWhite(picture->at(5, 50))) << "no gradient";
    expectScreenValuesKept();
}

TEST_F(ForceFieldOutputTest, CancellingTheSaveDialogWritesNothing)
{
    ModalScript script;
    script.cancel(Kind::SaveFile);
    ff()._FileSaveasPicture_Action();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(std::filesystem::is_empty(mDir.path()));
}

TEST_F(ForceFieldOutputTest, AFileThatCannotBeWrittenIsReportedAndLeavesNone)
{
    const std::string path = mDir.file("no such folder") + "/Kestrix.pict";
    ModalScript script;
    script.saveFile(path).message("Problem creating file ...");
    ff()._FileSaveasPicture_Action();
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
