#include "graph/graph.h"

#include "tests/graph/graph_fixture.h"
#include "tests/support/failing_print.h"
#include "tests/support/image_tools.h"
#include "tests/support/modal_script.h"
#include "tests/support/printed_page.h"
#include "tests/support/temp_dir.h"

#include "platform/files.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using graphtest::kH;
using graphtest::kW;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

const std::string kA4 = "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;"
                        "margins=10,10,10,10pt";
constexpr int kMargin = 10; // points, of kA4
constexpr int kDpi = 144;
const GraphMapping kScreen = GraphMapping::screen(kW, kH);

bool isDark(platform::Color c)
{
    return c.r + c.g + c.b < 3 * 128;
}

bool isWhite(platform::Color c)
{
    return c.r > 240 && c.g > 240 && c.b > 240;
}

// The document: a known player, one of unknown stance and one beyond the +100 tick.
class GraphOutputTest : public graphtest::GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        std::filesystem::remove(settingsFile());
        mGraph = &openGraph(
            {{"Issue"}, {"A", 40, 80}, {"B", -40, 30, 100, 100, "", true, true}, {"C", 110, 70}});
        mGraph->CaptionsOn = false;
        ASSERT_TRUE(mGraph->ColourBkgd);
    }

    static std::string settingsFile()
    {
        return platform::File::preferencesFolder()->child("KestrixPrint.dat").absolutePath();
    }

    graph& w() { return *mGraph; }

    graph* mGraph = nullptr;
    TempDir mDir;
};

// --- Print and Page Setup ---

class GraphPrintTest : public GraphOutputTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
            << imagetools::missingTool("pdftoppm", "poppler-utils");
        ASSERT_TRUE(imagetools::hasTool("pdfinfo"))
            << imagetools::missingTool("pdfinfo", "poppler-utils");
        GraphOutputTest::SetUp();
    }

    static void expectPrint(ModalScript& script, const std::string& pdf)
    {
        script.expect(Kind::Print, [pdf](const ModalRequest&) { return ModalAnswer::file(pdf); });
    }
};

TEST_F(GraphPrintTest, WithoutASettingsFileThePageSetupComesFirstAndACancelDoesNotStopThePrint)
{
    const std::string pdf = mDir.file("graph.pdf");
    ModalScript script;
    script.cancel(Kind::PageSetup);
    expectPrint(script, pdf);
    w()._FilePrint_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
    EXPECT_FALSE(std::filesystem::exists(settingsFile())) << "only a confirmed setup is stored";
}

TEST_F(GraphPrintTest, ThePageShowsEveryPlayerInBlackAsTheCanvasLaysThemOutAndLeavesTheScreens)
{
    TempDir::write(settingsFile(), kA4);
    const std::string pdf = mDir.file("graph.pdf");
    ModalScript script;
    expectPrint(script, pdf);
    ASSERT_TRUE(pt::chooseMenuItem("FilePrint"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(w().p.setupString(), kA4) << "no page-setup dialog: the file's settings";
    ASSERT_EQ(imagetools::pdfPageCount(pdf), 1);
    const auto image = imagetools::renderPdf(pdf, kDpi);
    ASSERT_TRUE(image) << "pdftoppm could not render " << pdf;

    // The canvas's drawing, scaled alike across and down to the printable area of A4.
    const auto fit = imagetools::WholeDrawing::on(kW, kH, 575, 822, kMargin, kMargin);
    auto onPage = [&](int32_t x, int32_t y) {
        return std::pair{fit.pixelX(x, kDpi), fit.pixelY(y, kDpi)};
    };
    auto dotCentre = [&](int32_t pos, int32_t imp) {
        const auto [x, y] = onPage(kScreen.plotx(pos), kScreen.ploty(imp));
        return image->at(x, y);
    };
    EXPECT_TRUE(isDark(dotCentre(40, 80)));
    EXPECT_TRUE(isDark(dotCentre(-40, 30))) << "a player of unknown stance is printed";
    EXPECT_TRUE(isDark(dotCentre(110, 70))) << "beyond the +100 tick";
    const auto [bx, by] = onPage(50, 5);
    EXPECT_TRUE(isWhite(image->at(bx, by))) << "no coloured background";

    // The screen's next drag converts with the screen's scales.
    EXPECT_FLOAT_EQ(w().xscale, kScreen.xscale);
    EXPECT_FLOAT_EQ(w().yscale, kScreen.yscale);
    pt::mousePress(*w().cGraph, w().xplot[1], w().yplot[1]);
    pt::mouseMove(*w().cGraph, 600, 100);
    pt::mouseRelease(*w().cGraph, 600, 100);
    EXPECT_EQ(main().Player[1].Position, kScreen.unplotx(600));
}

class GraphWholePageTest : public GraphPrintTest,
                           public ::testing::WithParamInterface<testsupport::StandardPage> {};

INSTANTIATE_TEST_SUITE_P(Pages, GraphWholePageTest,
                         ::testing::ValuesIn(testsupport::StandardPages()),
                         testsupport::StandardPageName);

TEST_P(GraphWholePageTest, TheWholeGraphWithItsCaptionsLiesOnThePageScaledToIt)
{
    ASSERT_TRUE(imagetools::hasTool("pdftotext"))
        << imagetools::missingTool("pdftotext", "poppler-utils");
    testsupport::LoadDocument(
        main(), {{"Issue"}, {"A", 40, 80}, {"Chamber of Commerce", 98, 60}, {"Unions", -97, 20}});
    w().CaptionsOn = true;
    TempDir::write(settingsFile(), GetParam().setupString);
    const std::string pdf = mDir.file("graph.pdf");
    ModalScript script;
    expectPrint(script, pdf);
    w()._FilePrint_Action();
    const auto printed = testsupport::ReadPrintedPdf(pdf, GetParam().setupString);
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->wordsOffTheArea(), std::vector<std::string>{});

    // The canvas's drawing at the screen's scales, scaled alike across and down to the page:
    // every word within the frame, where the canvas has it.
    const auto fit = printed->wholeDrawing(kW, kH);
    for (const char* word : {"Enemies", "Allies", "-100", "100", "Important", "Irrelevant", "A",
                             "Chamber", "Commerce", "Unions"})
        EXPECT_TRUE(printed->page.find(word)) << word;
    for (const imagetools::PdfWord& word : printed->page.words) {
        EXPECT_GE(word.xMin, fit.left) << word.text;
        EXPECT_LE(word.xMax, fit.left + kW * fit.scale) << word.text;
    }
    ASSERT_TRUE(printed->page.find("Enemies"));
    EXPECT_NEAR(printed->page.find("Enemies")->xMin, fit.left + kScreen.plotx(-100) * fit.scale,
                fit.scale + 0.5);
    ASSERT_TRUE(printed->page.find("Unions"));
    EXPECT_NEAR(printed->page.find("Unions")->xMin, fit.left + (kScreen.plotx(-97) + 2) * fit.scale,
                fit.scale + 0.5);
}

TEST_F(GraphPrintTest, ACancelledPrintDialogPrintsNothingAndSaysNothing)
{
    TempDir::write(settingsFile(), kA4);
    ModalScript script;
    script.cancel(Kind::Print);
    w()._FilePrint_Action();
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(script.messages().empty());
    EXPECT_FLOAT_EQ(w().xscale, kScreen.xscale);
}

class GraphFailingPrintTest : public GraphPrintTest,
                              public ::testing::WithParamInterface<testsupport::UnwritableFile> {};

INSTANTIATE_TEST_SUITE_P(Files, GraphFailingPrintTest,
                         ::testing::ValuesIn(testsupport::UnwritableFiles()),
                         testsupport::UnwritableFileName);

TEST_P(GraphFailingPrintTest, IsReportedAndLeavesTheDocumentAndTheScreenAsTheyWere)
{
    TempDir::write(settingsFile(), kA4);
    main().InFileName = "budget.dat";
    testsupport::ExpectFailedPrint([this] { w()._FilePrint_Action(); },
                                   "Position vs. Importance - budget.dat", GetParam().path(mDir),
                                   mDir);
    EXPECT_EQ(main().Player[1].Position, 40);
    EXPECT_FALSE(main().FileChanged);
    EXPECT_FLOAT_EQ(w().xscale, kScreen.xscale);

    // The program goes on: the next print is whole.
    const std::string pdf = mDir.file("graph.pdf");
    ModalScript script;
    expectPrint(script, pdf);
    w()._FilePrint_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
}

TEST_F(GraphPrintTest, AConfirmedPageSetupStoresTheGraphsSettings)
{
    ModalScript script;
    script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); });
    w()._FilePageSetup_Action();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(settingsFile()), w().p.setupString());
}

// --- Save as Picture ---

class GraphPictureTest : public GraphOutputTest {};

TEST_F(GraphPictureTest, SavesThePrintedDrawingAtTheScreensScaleAndTheCanvasSize)
{
    ASSERT_TRUE(imagetools::hasTool("convert"))
        << imagetools::missingTool("convert", "imagemagick");
    const std::string path = mDir.file("graph.pict");
    ModalScript script;
    script.saveFile(path);
    w()._FileSaveaspicture_Action();
    EXPECT_TRUE(script.done());
    const auto image = imagetools::decodePict(path);
    ASSERT_TRUE(image) << "convert could not read the picture";
    EXPECT_EQ(image->width, kW);
    EXPECT_EQ(image->height, kH);
    auto dotCentre = [&](int32_t pos, int32_t imp) {
        return image->at(kScreen.plotx(pos), kScreen.ploty(imp));
    };
    EXPECT_TRUE(isDark(dotCentre(40, 80))) << "black dots";
    EXPECT_TRUE(isDark(dotCentre(-40, 30))) << "a player of unknown stance is pictured";
    EXPECT_TRUE(isDark(dotCentre(110, 70))) << "beyond the +100 tick";
    EXPECT_TRUE(isWhite(image->at(50, 5))) << "no coloured background";
}

TEST_F(GraphPictureTest, AFileThatCannotBeWrittenIsReportedAndLeavesNoFile)
{
    const std::string path = mDir.file("no such folder") + "/graph.pict";
    ModalScript script;
    script.saveFile(path).message("Problem creating file ...");
    w()._FileSaveaspicture_Action();
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
