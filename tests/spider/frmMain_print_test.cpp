// Page Setup, Print and Save as Picture of the spider plot, checked on the printed PDF and
// the saved picture with outside readers.

#include "app/frmMain.h"

#include "spider/SpiderDrawing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/failing_print.h"
#include "tests/support/image_tools.h"
#include "tests/support/modal_script.h"
#include "tests/support/printed_page.h"
#include "tests/support/temp_dir.h"

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/printing.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

std::string settingsPath()
{
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/KestrixPrint.dat";
}

// A4 across, without margins: a page point is a pixel at 72 dpi, the page starts at the
// paper's corner and is wide enough for the whole legend.
constexpr const char* kWholeA4 =
    "KestrixPageSetup/1;printer=;page=A4;orientation=landscape;margins=0,0,0,0pt";

class PrintTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        std::filesystem::remove_all(settingsPath());
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271},
                                           {"Ally", 100, 100, 100, 100},
                                           {"Enemy", -100, 20, 500, 400}});
        main().Links[1][2] = main().Links[2][1] = 100;
        // The screen's mapping as a paint at the design size leaves it.
        main().ScaleFactorx = 1;
        main().ScaleFactorY = 1;
    }

    std::string print(ModalScript& script)
    {
        const std::string pdf = dir.file("page.pdf");
        script.expect(Kind::Print, [pdf](const ModalRequest&) { return ModalAnswer::file(pdf); });
        main()._FilePrint_Action();
        return pdf;
    }

    TempDir dir;
};

TEST_F(PrintTest, ThePrintedPageHoldsTheDiagramScaledToThePageAndTheLegend)
{
    ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
        << imagetools::missingTool("pdftoppm", "poppler-utils");
    TempDir::write(settingsPath(), kWholeA4);
    ModalScript script;
    const std::string pdf = print(script);
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
    const auto page = imagetools::renderPdf(pdf, 72);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->width, 842);
    ASSERT_EQ(page->height, 595);

    // The model space, 772 by 624, scaled alike across and down to the page's height and
    // centred across it.
    const auto fit = imagetools::WholeDrawing::on(772, 624, 842, 595, 0, 0);
    auto at = [&](double x, double y) { return page->at(fit.pixelX(x, 72), fit.pixelY(y, 72)); };
    EXPECT_EQ(at(106, 108), (platform::Color{0, 255, 0})) << "Ally's box at model (100, 100)";
    EXPECT_EQ(at(506, 408), (platform::Color{255, 0, 0})) << "Enemy's box at model (500, 400)";

    // The legend's colour block along the drawing's bottom: column x shows the colour of
    // x - 615, inside a black frame.
    const double row = 624 - 8;
    EXPECT_EQ(at(520.5, row), PositionColour(-95));
    EXPECT_EQ(at(615.5, row), (platform::Color{255, 255, 0}));
    EXPECT_EQ(at(710.5, row), PositionColour(95));
    EXPECT_EQ(at(300, 500), (platform::Color{255, 255, 255}));
    EXPECT_EQ(page->at(10, 300), (platform::Color{255, 255, 255})) << "beside the drawing";
}

// A long name near the model space's right edge, and a subtitle wider than its name.
class WholePagePrintTest : public PrintTest,
                           public ::testing::WithParamInterface<testsupport::StandardPage> {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271},
                                           {"Ally", 100, 100, 100, 100},
                                           {"Enemy", -100, 20, 500, 400},
                                           {"Chamber of Commerce", 100, 60, 590, 60},
                                           {"Press", -100, 40, 40, 500, "Weekly and daily"}});
    }
};

INSTANTIATE_TEST_SUITE_P(Pages, WholePagePrintTest,
                         ::testing::ValuesIn(testsupport::StandardPages()),
                         testsupport::StandardPageName);

TEST_P(WholePagePrintTest, EveryBoxHoldsItsTextAndTheLegendLiesWholeOnThePage)
{
    ASSERT_TRUE(imagetools::hasTool("pdftotext"))
        << imagetools::missingTool("pdftotext", "poppler-utils");
    TempDir::write(settingsPath(), GetParam().setupString);
    ModalScript script;
    const auto printed = testsupport::ReadPrintedPdf(print(script), GetParam().setupString);
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->wordsOffTheArea(), std::vector<std::string>{});
    for (const char* word : {"Colour", "Kestrix", "Enemies", "Allies"})
        EXPECT_TRUE(printed->page.find(word)) << word << ": the legend is whole";

    // Scaled alike across and down: each name where the model space puts it, and its box,
    // in the player's colour, reaching past both ends of its text.
    const auto fit = printed->wholeDrawing(772, 624);
    struct Text {
        const char* first;
        const char* last;
        int32_t player;
        platform::Color fill;
    };
    for (const Text& t :
         {Text{"Ally", "Ally", 1, {0, 255, 0}}, Text{"Enemy", "Enemy", 2, {255, 0, 0}},
          Text{"Chamber", "Commerce", 3, {0, 255, 0}}, Text{"Weekly", "daily", 4, {255, 0, 0}}}) {
        const auto first = printed->page.find(t.first);
        const auto last = printed->page.find(t.last);
        ASSERT_TRUE(first && last) << t.first;
        const Player& p = main().Player[t.player];
        EXPECT_NEAR(first->yMax, fit.top + (p.y + (t.player == 4 ? 35 : 20)) * fit.scale,
                    3 * fit.scale)
            << t.first;
        const double middle = (first->yMin + first->yMax) / 2;
        EXPECT_EQ(printed->at(first->xMin - 2, middle), t.fill) << t.first << ": left of it";
        EXPECT_EQ(printed->at(last->xMax + 2, (last->yMin + last->yMax) / 2), t.fill)
            << t.last << ": right of it";
    }
    EXPECT_NEAR(printed->page.find("Ally")->xMin, fit.left + 110 * fit.scale, fit.scale);
}

TEST_F(PrintTest, PrintingLeavesTheScreensMappingAndWidths)
{
    TempDir::write(settingsPath(), kWholeA4);
    const int32_t width = main().Player[1].Width;
    ModalScript script;
    print(script);
    EXPECT_EQ(main().ScaleFactorx, 1.0f);
    EXPECT_EQ(main().ScaleFactorY, 1.0f);
    EXPECT_EQ(main().Player[1].Width, width);
    EXPECT_EQ(main().unplotx(100), 100) << "a press after the print is in screen units";
}

class FailingPrintTest : public PrintTest,
                         public ::testing::WithParamInterface<testsupport::UnwritableFile> {};

INSTANTIATE_TEST_SUITE_P(Files, FailingPrintTest,
                         ::testing::ValuesIn(testsupport::UnwritableFiles()),
                         testsupport::UnwritableFileName);

TEST_P(FailingPrintTest, IsReportedAndLeavesTheDocumentAndTheScreenAsTheyWere)
{
    TempDir::write(settingsPath(), kWholeA4);
    main().InFileName = "budget.dat";
    const Player before = main().Player[1];
    testsupport::ExpectFailedPrint([this] { main()._FilePrint_Action(); }, "Varnholt - budget.dat",
                                   GetParam().path(dir), dir);
    EXPECT_EQ(main().Player[1].Name, before.Name);
    EXPECT_EQ(main().Player[1].Width, before.Width);
    EXPECT_EQ(main().ScaleFactorx, 1.0f);
    EXPECT_FALSE(main().FileChanged);

    // The program goes on: the next print is whole.
    ModalScript script;
    EXPECT_EQ(imagetools::pdfPageCount(print(script)), 1);
    EXPECT_TRUE(script.done());
}

TEST_F(PrintTest, TheFirstPrintAsksForThePageSetupAndKeepsIt)
{
    ModalScript script;
    script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); });
    print(script);
    const std::string stored = TempDir::read(settingsPath());
    EXPECT_EQ(stored, main().p.setupString());
    ASSERT_FALSE(stored.empty());
    EXPECT_NE(stored.back(), '\n') << "written whole, without a line end";

    print(script); // the file is there now: no page setup first
    EXPECT_TRUE(script.done());
}

TEST_F(PrintTest, ACancelledPageSetupAndPrintWriteNothing)
{
    ModalScript script;
    script.cancel(Kind::PageSetup).cancel(Kind::Print);
    main()._FilePrint_Action();
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));
}

TEST_F(PrintTest, PageSetupStoresAConfirmedDialogOnly)
{
    ModalScript script;
    script.cancel(Kind::PageSetup);
    main()._FilePageSetup_Action();
    EXPECT_FALSE(std::filesystem::exists(settingsPath()));
    script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); });
    main()._FilePageSetup_Action();
    EXPECT_EQ(TempDir::read(settingsPath()), main().p.setupString());
}

TEST_F(PrintTest, AnUnreadableSettingsFileIsReportedAndChangesNothing)
{
    std::filesystem::create_directory(settingsPath());
    main().p.setSetupString(kWholeA4);
    ModalScript script;
    script.message("Problem with file ...");
    main()._FilePageSetup_Action();
    EXPECT_EQ(main().p.setupString(), kWholeA4);
    script.message("Sorry something went wrong with printing");
    main()._FilePrint_Action();
}

TEST_F(PrintTest, AZeroWeightAveragePrintsWithoutFault)
{
    testsupport::LoadDocument(main(), {{"Issue"}});
    main().AveColour = true;
    TempDir::write(settingsPath(), kWholeA4);
    ModalScript script;
    const std::string pdf = print(script);
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
    EXPECT_EQ(main().AverageColour, 0);
}

TEST_F(PrintTest, TheSavedPictureHoldsTheDrawingAtTheCanvasSize)
{
    ASSERT_TRUE(imagetools::hasTool("convert"))
        << imagetools::missingTool("convert", "imagemagick");
    const std::string path = dir.file("Kestrix.pict");
    ModalScript script;
    script.expect(Kind::SaveFile, [path](const ModalRequest& r) {
        EXPECT_EQ(r.filter, "image/pict");
        EXPECT_EQ(r.filters, (std::vector<std::string>{"image/pict", "image/png"}));
        EXPECT_EQ(r.defaultName, "Kestrix.pict");
        return ModalAnswer::file(path);
    });
    main()._FileSaveasPicture_Action();
    const auto decoded = imagetools::decodePict(path);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->width, main().Canvas1->width());
    ASSERT_EQ(decoded->height, main().Canvas1->height());

    platform::Picture expected(decoded->width, decoded->height);
    DrawSpiderPlot(main(), expected.graphics(), SpiderTarget::Picture, 0, 0);
    DrawPageLegend(expected.graphics());
    int differing = 0;
    for (int y = 0; y < decoded->height; ++y)
        for (int x = 0; x < decoded->width; ++x)
            differing += decoded->at(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(decoded->at(106, 108), (platform::Color{0, 255, 0})) << "model units as they stand";
}

// A name ending in ".png", in any letter case, gets a PNG of the same drawing as the PICT that
// any other name gets: the toolkit's reader takes it for a PNG, and its pixels are the PICT's.
class PngNameTest : public PrintTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PngNameTest, GetsAPngOfTheDrawingThePictHolds)
{
    ASSERT_TRUE(imagetools::hasTool("convert"))
        << imagetools::missingTool("convert", "imagemagick");
    testsupport::LoadDocument(main(), {{"Budget", 0, 50, 353, 271}, {"Unions", -60, 80, 100, 90}});
    const std::string pict = dir.file("map.pict");
    const std::string png = dir.file(GetParam());
    ModalScript script;
    script.saveFile(pict).saveFile(png);
    main()._FileSaveasPicture_Action();
    main()._FileSaveasPicture_Action();
    EXPECT_TRUE(script.done());

    const auto read = pt::readImageFile(png);
    ASSERT_TRUE(read) << "Qt's reader cannot read " << GetParam();
    EXPECT_EQ(read->format, "png");
    const auto decoded = imagetools::decodePict(pict);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(read->pixels.width(), decoded->width);
    ASSERT_EQ(read->pixels.height(), decoded->height);
    int differing = 0;
    for (int y = 0; y < decoded->height; ++y)
        for (int x = 0; x < decoded->width; ++x)
            differing += decoded->at(x, y) != read->pixels.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Names, PngNameTest, ::testing::Values("map.png", "MAP.PNG"),
                         [](const auto& info) {
                             return std::string(info.index ? "Upper" : "Lower");
                         });

TEST_F(PrintTest, APictureThatCannotBeWrittenIsReported)
{
    ModalScript script;
    script.saveFile(dir.file("missing/Kestrix.pict")).message("Problem creating file ...");
    main()._FileSaveasPicture_Action();
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

// The pixels of a page that are neither white, black nor grey.
int colouredPixels(const imagetools::RgbImage& page)
{
    int n = 0;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const platform::Color c = page.at(x, y);
            n += std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 16;
        }
    return n;
}

// The real print dialog, worked by its own controls as a person works it: its file button's
// dialog names the PDF file, the page turned in its properties is the page printed, a range of
// the one page prints it, cancelling prints nothing, and none of its choices reaches the
// settings file.
TEST_F(PrintTest, TheRealPrintDialogsChoicesReachThePageAndStayOutOfTheSettingsFile)
{
    ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
        << imagetools::missingTool("pdftoppm", "poppler-utils");
    TempDir::write(settingsPath(), kWholeA4);
    auto chooseFile = [](const std::string& pdf) {
        return [pdf](pt::RealDialog& d) {
            d.typeFileName(pdf);
            EXPECT_TRUE(d.press("Save"));
        };
    };
    const std::string across = dir.file("across.pdf");
    const std::string upright = dir.file("upright.pdf");
    {
        pt::RealDialogs dialogs;
        dialogs
            .then([](pt::RealDialog& d) {
                EXPECT_TRUE(d.press("...")); // the file dialog is the next step
                EXPECT_TRUE(d.press("Print"));
            })
            .then(chooseFile(across))
            .then([](pt::RealDialog& d) {
                EXPECT_TRUE(d.press("Options >>"));
                EXPECT_TRUE(d.press("Pages from")) << "from 1 to 1";
                EXPECT_TRUE(d.press("..."));
                EXPECT_TRUE(d.press("Properties"));
                EXPECT_TRUE(d.press("Print"));
            })
            .then(chooseFile(upright))
            .then([](pt::RealDialog& d) {
                EXPECT_TRUE(d.press("Portrait"));
                EXPECT_TRUE(d.press("OK"));
            })
            .then([](pt::RealDialog& d) { EXPECT_TRUE(d.press("Cancel")); })
            .then([](pt::RealDialog& d) { d.pressEscape(); });
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(pt::chooseMenuItem("FilePrint"));
        EXPECT_TRUE(dialogs.done()) << "a dialog the test expected was never shown";
        EXPECT_EQ(dialogs.unanswered(), std::vector<std::string>{});
    }
    EXPECT_EQ(TempDir::read(settingsPath()), kWholeA4);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"across.pdf", "upright.pdf"}))
        << "the cancelled prints made no file";
    EXPECT_FALSE(main().FileChanged);

    for (const std::string& pdf : {across, upright}) {
        EXPECT_EQ(imagetools::pdfPageCount(pdf), 1) << pdf;
        const auto page = imagetools::renderPdf(pdf, 72);
        ASSERT_TRUE(page) << pdf;
        EXPECT_EQ(page->width > page->height, pdf == across)
            << pdf << ": landscape as the settings file says, portrait as chosen";
        EXPECT_GT(colouredPixels(*page), 1000) << pdf << ": the players' colours";
    }
}

} // namespace
