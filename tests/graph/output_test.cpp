#include "graph/graph.h"

#include "tests/graph/graph_fixture.h"
#include "tests/support/failing_print.h"
#include "tests/support/image_tools.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/files.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

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
constexpr int kPixelsPerPoint = 2;
const GraphMapping kScreen = GraphMapping::screen(kW, kH);
const GraphMapping kPage = GraphMapping::page(kW, kH);

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

TEST_F(GraphPrintTest, ThePageShowsEveryPlayerInBlackAtThePrintScalesAndLeavesTheScreens)
{
    TempDir::write(settingsFile(), kA4);
    const std::string pdf = mDir.file("graph.pdf");
    ModalScript script;
    expectPrint(script, pdf);
    ASSERT_TRUE(pt::chooseMenuItem("FilePrint"));
    EXPECT_TRUE(script.done());
    EXPECT_EQ(w().p.setupString(), kA4) << "no page-setup dialog: the file's settings";
    ASSERT_EQ(imagetools::pdfPageCount(pdf), 1);
    const auto image = imagetools::renderPdf(pdf, 144);
    ASSERT_TRUE(image) << "pdftoppm could not render " << pdf;

    // A page unit for each canvas pixel, from the printable area's corner.
    auto onPage = [](int32_t x, int32_t y) {
        return std::pair{(kMargin + x) * kPixelsPerPoint, (kMargin + y) * kPixelsPerPoint};
    };
    auto dotCentre = [&](int32_t pos, int32_t imp) {
        const auto [x, y] = onPage(kPage.plotx(pos), kPage.ploty(imp));
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
