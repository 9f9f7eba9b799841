#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/printing.h"
#include "platform/testing.h"

#include "tests/support/failing_print.h"
#include "tests/support/image_tools.h"
#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <vector>

using namespace platform;
using imagetools::RgbImage;
using platform::testing::FakePrintQueue;
using platform::testing::FileWriteFault;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;
using testsupport::TempDir;

namespace {

const std::string kA4 = "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;"
                        "margins=10,10,10,10pt";
const std::string kLetterLandscape = "KestrixPageSetup/1;printer=;page=Letter;"
                                     "orientation=landscape;margins=36,54,18,72pt";
const std::string kCustom = "KestrixPageSetup/1;printer=;page=custom:300x400pt;"
                            "orientation=portrait;margins=0,0,0,0pt";

struct SetupCase {
    const char* name;
    std::string text;
    int32_t width; ///< the printable area in points; 0 when not checked
    int32_t height;
};

class SetupStringTest : public ::testing::TestWithParam<SetupCase> {};

INSTANTIATE_TEST_SUITE_P(
    Settings, SetupStringTest,
    ::testing::Values(SetupCase{"A4", kA4, 575, 822},
                      SetupCase{"LetterLandscape", kLetterLandscape, 738, 486},
                      SetupCase{"CustomSize", kCustom, 300, 400},
                      SetupCase{"CustomLandscapeInMillimetres",
                                "KestrixPageSetup/1;printer=;page=custom:100.5x200.25mm;"
                                "orientation=landscape;margins=12.7,0,6.35,25.4mm",
                                0, 0},
                      SetupCase{"NamedPrinter",
                                "KestrixPageSetup/1;printer=Office%20Laser%3B%202%3D%C3%A9;page=A5;"
                                "orientation=portrait;margins=0.5,0.25,0.5,0.25in",
                                0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(SetupStringTest, RestoresExactlyWhatItGave)
{
    const SetupCase& c = GetParam();
    PrinterSetup setup;
    setup.setSetupString(c.text);
    EXPECT_EQ(setup.setupString(), c.text);
    if (c.width != 0) {
        EXPECT_EQ(setup.width(), c.width);
        EXPECT_EQ(setup.height(), c.height);
    }
    // A byte-order mark and a line end that an editor added do no harm.
    PrinterSetup again;
    again.setSetupString("\xEF\xBB\xBF" + setup.setupString() + "\n");
    EXPECT_EQ(again.setupString(), c.text);
    EXPECT_EQ(again.width(), setup.width());
    EXPECT_EQ(again.height(), setup.height());
}

TEST(PrinterSetupTest, ANewSetupsStringRestoresTheSameSetup)
{
    const PrinterSetup fresh;
    PrinterSetup setup;
    setup.setSetupString(kLetterLandscape);
    setup.setSetupString(fresh.setupString());
    EXPECT_EQ(setup.setupString(), fresh.setupString());
    EXPECT_EQ(setup.width(), fresh.width());
    EXPECT_GT(fresh.width(), 0);
    EXPECT_GT(fresh.height(), 0);
}

class DamagedSetupStringTest : public ::testing::TestWithParam<std::string> {};

INSTANTIATE_TEST_SUITE_P(
    Texts, DamagedSetupStringTest,
    ::testing::Values(
        "", " \n", "garbage", std::string("\0\xff\x01", 3),
        // Another program's or version's settings.
        "<?xml version=\"1.0\"?><dict/>",
        "KestrixPageSetup/2;printer=;page=A4;orientation=portrait;margins=10,10,10,10pt",
        // Cut short, or with a field missing, added or changed.
        kLetterLandscape.substr(0, kLetterLandscape.size() / 2),
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait", kA4 + ";copies=2",
        "KestrixPageSetup/1;page=A4;printer=;orientation=portrait;margins=10,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A99;orientation=portrait;margins=10,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A4;orientation=sideways;margins=10,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=10,10,10,10km",
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=-1,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=nan,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=10.0,10,10,10pt",
        "KestrixPageSetup/1;printer=%ZZ;page=A4;orientation=portrait;margins=10,10,10,10pt",
        "KestrixPageSetup/1;printer=;page=custom:0x400pt;orientation=portrait;"
        "margins=0,0,0,0pt",
        // Margins that leave nothing to print on.
        "KestrixPageSetup/1;printer=;page=A4;orientation=portrait;margins=300,10,300,10pt"));

TEST_P(DamagedSetupStringTest, GivesTheDefaults)
{
    const PrinterSetup fresh;
    PrinterSetup setup;
    setup.setSetupString(kLetterLandscape);
    setup.setSetupString(GetParam());
    EXPECT_EQ(setup.setupString(), fresh.setupString());
    EXPECT_EQ(setup.width(), fresh.width());
    EXPECT_EQ(setup.height(), fresh.height());
}

TEST(PrinterSetupTest, ThePageSetupDialogIsConfirmedOnlyByChoice1)
{
    PrinterSetup setup;
    setup.setSetupString(kLetterLandscape);
    ModalScript script;
    script.expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(1); })
        .expect(Kind::PageSetup, [](const ModalRequest&) { return ModalAnswer::button(0); })
        .cancel(Kind::PageSetup);
    EXPECT_TRUE(setup.pageSetupDialog());
    EXPECT_FALSE(setup.pageSetupDialog());
    EXPECT_FALSE(setup.pageSetupDialog());
    EXPECT_TRUE(script.done());
    EXPECT_EQ(setup.setupString(), kLetterLandscape);
}

TEST(PrintDialogTest, CancellingGivesNoPage)
{
    PrinterSetup setup;
    ModalScript script;
    script.cancel(Kind::Print).expect(Kind::Print, [](const ModalRequest&) {
        return ModalAnswer::ok();
    });
    EXPECT_EQ(OpenPrinterDialog(setup, "Job"), nullptr);
    EXPECT_EQ(OpenPrinterDialog(setup, "Job"), nullptr);
    EXPECT_TRUE(script.done());
}

// --- A page that cannot be printed is not printed at all ---

class PrintFailureTest : public ::testing::Test {
protected:
    /// Prints one page drawn by `draw` to the PDF file `pdf`, as the print dialog chose it.
    /// The platform shows no message of its own: `script` fails the test on any.
    PrintResult printTo(const std::string& pdf, ModalScript& script,
                        const std::function<void(Graphics&)>& draw)
    {
        script.expect(Kind::Print, [pdf](const ModalRequest&) { return ModalAnswer::file(pdf); });
        const auto page = OpenPrinterDialog(setup, "Spider plot - budget.dat");
        if (!page) {
            ADD_FAILURE() << "the print dialog gave no page";
            return PrintResult::NotStarted;
        }
        return page->print(draw);
    }

    static void drawSomething(Graphics& g) { g.fillRect(10, 10, 100, 50); }

    /// The page of the real print dialog, worked as a person works it: its file button's dialog
    /// names `pdf`, `choose` makes the person's other choices, then Print.
    std::unique_ptr<platform::PrintedPage>
    printThroughRealDialog(const std::string& pdf,
                           const std::function<void(platform::testing::RealDialog&)>& choose)
    {
        platform::testing::RealDialogs dialogs;
        dialogs.then([&choose](platform::testing::RealDialog& d) {
            EXPECT_TRUE(d.press("..."));
            choose(d);
            EXPECT_TRUE(d.press("Print"));
        });
        dialogs.then([pdf](platform::testing::RealDialog& d) {
            d.typeFileName(pdf);
            EXPECT_TRUE(d.press("Save"));
        });
        auto page = OpenPrinterDialog(setup, "Job");
        EXPECT_TRUE(dialogs.done());
        EXPECT_EQ(dialogs.unanswered(), std::vector<std::string>{});
        return page;
    }

    PrinterSetup setup;
    TempDir dir;
};

class UnwritableFileTest : public PrintFailureTest,
                           public ::testing::WithParamInterface<testsupport::UnwritableFile> {};

INSTANTIATE_TEST_SUITE_P(Files, UnwritableFileTest,
                         ::testing::ValuesIn(testsupport::UnwritableFiles()),
                         testsupport::UnwritableFileName);

TEST_P(UnwritableFileTest, IsReportedAndLeavesNothingBehind)
{
    const std::string pdf = GetParam().path(dir);
    const auto type = std::filesystem::status(pdf).type();
    const std::vector<std::string> before = dir.names();
    ModalScript script;
    EXPECT_EQ(printTo(pdf, script, drawSomething), PrintResult::NotDelivered);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(std::filesystem::status(pdf).type(), type) << "a device stays a device";
    EXPECT_EQ(dir.names(), before) << "no file made, not even a temporary one";
}

// The real fault behind a page that the file does not take: each failing step of the write.
class PdfWriteFaultTest : public PrintFailureTest,
                          public ::testing::WithParamInterface<FileWriteFault::Step> {};

INSTANTIATE_TEST_SUITE_P(Steps, PdfWriteFaultTest,
                         ::testing::Values(FileWriteFault::Step::ShortWrite,
                                           FileWriteFault::Step::Sync,
                                           FileWriteFault::Step::Rename),
                         [](const ::testing::TestParamInfo<FileWriteFault::Step>& info) {
                             switch (info.param) {
                             case FileWriteFault::Step::ShortWrite:
                                 return "ShortWrite";
                             case FileWriteFault::Step::Sync:
                                 return "Sync";
                             case FileWriteFault::Step::Rename:
                                 break;
                             }
                             return "Rename";
                         });

TEST_P(PdfWriteFaultTest, LeavesTheLastPageAsItWas)
{
    const std::string pdf = dir.file("page.pdf");
    TempDir::write(pdf, "the last page printed");
    ModalScript script;
    {
        const FileWriteFault fault(GetParam());
        EXPECT_EQ(printTo(pdf, script, drawSomething), PrintResult::NotDelivered);
    }
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(pdf), "the last page printed");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"page.pdf"});
}

// A page for a printer goes to its queue as one job; a job the queue does not take whole is
// cancelled, and nothing is said to have printed.
struct QueueCase {
    const char* name;
    FakePrintQueue::Step failAt;
    std::vector<std::string> steps;
};

class PrintQueueTest : public PrintFailureTest, public ::testing::WithParamInterface<QueueCase> {};

INSTANTIATE_TEST_SUITE_P(
    Steps, PrintQueueTest,
    ::testing::Values(
        QueueCase{"Printed", FakePrintQueue::Step::None, {"create", "start", "write", "finish"}},
        QueueCase{"Refused", FakePrintQueue::Step::CreateJob, {"create"}},
        QueueCase{"NotStarted", FakePrintQueue::Step::StartDocument, {"create", "start", "cancel"}},
        QueueCase{
            "NotWritten", FakePrintQueue::Step::WriteData, {"create", "start", "write", "cancel"}},
        QueueCase{"NotFinished",
                  FakePrintQueue::Step::FinishDocument,
                  {"create", "start", "write", "finish", "cancel"}}),
    [](const ::testing::TestParamInfo<QueueCase>& info) { return std::string(info.param.name); });

TEST_P(PrintQueueTest, SendsOneJobOrCancelsIt)
{
    const QueueCase& c = GetParam();
    FakePrintQueue queue("office/duplex", c.failAt);
    setup.setSetupString(kLetterLandscape);
    ModalScript script;
    script.expect(Kind::Print, [](const ModalRequest&) { return ModalAnswer::ok(); });
    const auto page = OpenPrinterDialog(setup, "Graph - budget.dat");
    ASSERT_NE(page, nullptr);
    const PrintResult expected =
        c.failAt == FakePrintQueue::Step::None ? PrintResult::Printed : PrintResult::NotDelivered;
    EXPECT_EQ(page->print(drawSomething), expected);
    EXPECT_TRUE(script.done()) << "the platform shows no message";
    EXPECT_EQ(queue.steps(), c.steps);
    EXPECT_EQ(queue.title(), "Graph - budget.dat");
    const std::vector<std::string>& options = queue.options();
    for (const char* option : {"media=Letter", "sides=one-sided", "landscape="})
        EXPECT_NE(std::find(options.begin(), options.end(), option), options.end()) << option;
    if (c.failAt == FakePrintQueue::Step::None ||
        c.failAt == FakePrintQueue::Step::FinishDocument) {
        EXPECT_EQ(queue.document().rfind("%PDF-", 0), 0u) << "the whole page, as a PDF";
    }
    EXPECT_TRUE(dir.names().empty()) << "nothing goes to a file";
}

TEST_F(PrintFailureTest, ADrawingThatThrowsIsAbortedAndTheFileKeptAsItWas)
{
    const std::string pdf = dir.file("page.pdf");
    TempDir::write(pdf, "the last page printed");
    ModalScript script;
    EXPECT_EQ(printTo(pdf, script,
                      [](Graphics& g) {
                          drawSomething(g);
                          throw std::runtime_error("out of something");
                      }),
              PrintResult::DrawingThrew);
    EXPECT_EQ(printTo(pdf, script, [](Graphics&) { throw 42; }), PrintResult::DrawingThrew);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(TempDir::read(pdf), "the last page printed");
    EXPECT_EQ(testsupport::TempDir::names(dir.path()), std::vector<std::string>{"page.pdf"});

    // A whole page then takes the file's place.
    EXPECT_EQ(printTo(pdf, script, drawSomething), PrintResult::Printed);
    EXPECT_EQ(imagetools::pdfPageCount(pdf), 1);
}

TEST_F(PrintFailureTest, APageNeverPrintedLeavesNoFile)
{
    const std::string pdf = dir.file("page.pdf");
    ModalScript script;
    script.expect(Kind::Print, [pdf](const ModalRequest&) { return ModalAnswer::file(pdf); });
    OpenPrinterDialog(setup, "Job").reset();
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintFailureTest, TheJobIsNamedInTheDialogAndInThePdf)
{
    const std::string pdf = dir.file("page.pdf");
    ModalScript script;
    script.expect(Kind::Print, [pdf](const ModalRequest& r) {
        EXPECT_EQ(r.title, "Position vs. Importance - budget.dat");
        return ModalAnswer::file(pdf);
    });
    const auto page = OpenPrinterDialog(setup, "Position vs. Importance - budget.dat");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->print(drawSomething), PrintResult::Printed);
    EXPECT_EQ(page->print(drawSomething), PrintResult::NotStarted) << "a page prints once";
    const auto info = imagetools::run("pdfinfo " + imagetools::quote(pdf));
    ASSERT_TRUE(info);
    const size_t title = info->find("Title:");
    ASSERT_NE(title, std::string::npos) << *info;
    const size_t end = info->find('\n', title);
    EXPECT_NE(info->substr(title, end - title).find(" Position vs. Importance - budget.dat"),
              std::string::npos)
        << *info;
}

// --- The printed page, checked through the PDF it makes ---

constexpr int kDpi = 144; // the resolution pages are rendered at: 2 pixels a point
constexpr double kScale = kDpi / 72.0;

using imagetools::PdfInfo;
using imagetools::pdfInfo;

bool isDark(platform::Color c)
{
    return c.r + c.g + c.b < 3 * 128;
}

/// The first and last dark pixel of a row (or column) of the image, in pixels.
std::pair<int, int> darkSpan(const RgbImage& image, int fixed, bool alongRow, int from, int to)
{
    int first = -1;
    int last = -1;
    for (int i = from; i < to; ++i) {
        const bool dark = alongRow ? isDark(image.at(i, fixed)) : isDark(image.at(fixed, i));
        if (dark) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

/// The bounding box of the dark pixels: left, top, width, height.
std::array<int, 4> inkBox(const RgbImage& image)
{
    int left = image.width, top = image.height, right = -1, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (isDark(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return {left, top, right - left + 1, bottom - top + 1};
}

class PrintedPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(imagetools::hasTool("pdftoppm"))
            << imagetools::missingTool("pdftoppm", "poppler-utils");
        ASSERT_TRUE(imagetools::hasTool("pdfinfo"))
            << imagetools::missingTool("pdfinfo", "poppler-utils");
    }

    /// Prints one page through the print dialog, answered with the PDF file `pdf`.
    template <typename Draw> void print(PrinterSetup& setup, const std::string& pdf, Draw draw)
    {
        ModalScript script;
        script.expect(Kind::Print, [&](const ModalRequest&) { return ModalAnswer::file(pdf); });
        const auto page = OpenPrinterDialog(setup, "Job");
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->print(draw), PrintResult::Printed);
        EXPECT_TRUE(script.done());
    }

    TempDir mDir;
};

struct PageCase {
    const char* name;
    std::string setup;
    double paperWidth; ///< points
    double paperHeight;
    int marginLeft; ///< points
    int marginTop;
};

class PrintedPageLayoutTest : public PrintedPageTest,
                              public ::testing::WithParamInterface<PageCase> {};

INSTANTIATE_TEST_SUITE_P(Pages, PrintedPageLayoutTest,
                         ::testing::Values(PageCase{"A4", kA4, 595, 842, 10, 10},
                                           PageCase{"LetterLandscape", kLetterLandscape, 792, 612,
                                                    36, 54},
                                           PageCase{"CustomSize", kCustom, 300, 400, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(PrintedPageLayoutTest, DrawsOnePageInPointsFromThePrintableAreasCorner)
{
    const PageCase& c = GetParam();
    PrinterSetup setup;
    setup.setSetupString(c.setup);
    const std::string pdf = mDir.file("page.pdf");
    int32_t width = 0;
    int32_t height = 0;
    print(setup, pdf, [&](Graphics& g) {
        width = g.width();
        height = g.height();
        g.fillRect(100, 50, 40, 20);
        g.drawLine(100, 100, 200, 100); // a 1-unit pen draws lines 1 point wide
        // Runs off the printable area's right edge, where it is cut off.
        g.fillRect(g.width() - 10, 150, 100, 10);
    });
    EXPECT_EQ(width, setup.width());
    EXPECT_EQ(height, setup.height());
    // The page settings are those of the setup.
    EXPECT_EQ(setup.setupString(), c.setup);

    const auto info = pdfInfo(pdf);
    ASSERT_TRUE(info) << "pdfinfo could not read " << pdf;
    EXPECT_EQ(info->pages, 1);
    EXPECT_NEAR(info->width, c.paperWidth, 0.01);
    EXPECT_NEAR(info->height, c.paperHeight, 0.01);

    const auto image = imagetools::renderPdf(pdf, kDpi);
    ASSERT_TRUE(image) << "pdftoppm could not render " << pdf;
    EXPECT_NEAR(image->width, c.paperWidth * kScale, 1);
    EXPECT_NEAR(image->height, c.paperHeight * kScale, 1);

    auto px = [](double points) { return static_cast<int>(std::lround(points * kScale)); };
    // The rectangle covers x 100 to 140 and y 50 to 70 of the printable area.
    const auto across = darkSpan(*image, px(c.marginTop + 60), true, 0, image->width);
    EXPECT_NEAR(across.first, px(c.marginLeft + 100), 1);
    EXPECT_NEAR(across.second, px(c.marginLeft + 140) - 1, 1);
    const auto down = darkSpan(*image, px(c.marginLeft + 120), false, 0, px(c.marginTop + 90));
    EXPECT_NEAR(down.first, px(c.marginTop + 50), 1);
    EXPECT_NEAR(down.second, px(c.marginTop + 70) - 1, 1);

    const auto line = darkSpan(*image, px(c.marginLeft + 150), false, px(c.marginTop + 90),
                               px(c.marginTop + 110));
    EXPECT_NEAR(line.first, px(c.marginTop + 100), 1);
    EXPECT_NEAR(line.second - line.first + 1, kScale, 1);

    const auto edge = darkSpan(*image, px(c.marginTop + 155), true, 0, image->width);
    EXPECT_NEAR(edge.first, px(c.marginLeft + width - 10), 1);
    EXPECT_NEAR(edge.second, px(c.marginLeft + width) - 1, 1);
}

TEST_F(PrintedPageTest, TextOfSize48Is48PointsOnThePage)
{
    // The same text drawn into a picture (one unit a pixel) and on the page (one unit a
    // point) has the same shape, the page's scaled by the rendering's pixels to the point.
    Picture pic(300, 100);
    pic.graphics().setTextSize(48);
    const double pictureWidth = pic.graphics().stringWidth("HH");
    pic.graphics().drawString("HH", 10, 70);
    RgbImage drawn;
    drawn.width = pic.width();
    drawn.height = pic.height();
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            const platform::Color c = pic.pixel(x, y);
            drawn.rgb.insert(drawn.rgb.end(), {c.r, c.g, c.b});
        }
    const auto expected = inkBox(drawn);
    ASSERT_GT(expected[2], 20);

    PrinterSetup setup;
    setup.setSetupString(kA4);
    const std::string pdf = mDir.file("text.pdf");
    double pageWidth = 0;
    print(setup, pdf, [&](Graphics& g) {
        g.setTextSize(48);
        pageWidth = g.stringWidth("HH");
        g.drawString("HH", 100, 200);
    });
    EXPECT_DOUBLE_EQ(pageWidth, pictureWidth);

    const auto image = imagetools::renderPdf(pdf, kDpi);
    ASSERT_TRUE(image);
    const auto ink = inkBox(*image);
    EXPECT_NEAR(ink[2], expected[2] * kScale, 3);
    EXPECT_NEAR(ink[3], expected[3] * kScale, 3);
    // The baseline lies where the picture's does, relative to the text's origin.
    EXPECT_NEAR(ink[0], (10 + 100 + expected[0] - 10) * kScale, 3);
    EXPECT_NEAR(ink[1] + ink[3], (10 + 200 + (expected[1] + expected[3] - 70)) * kScale, 3);
}

TEST_F(PrintedPageTest, RowsOfColoursPrintAsAFillOfEachRow)
{
    // Rows of strongly differing colours, so that a row out of place shows on the page.
    std::vector<platform::Color> colors;
    for (int32_t i = 0; i < 40; ++i)
        colors.push_back(i % 2 ? platform::RGB(255, 6 * i, 0) : platform::RGB(0, 0, 255 - 6 * i));
    PrinterSetup setup;
    setup.setSetupString(kA4);
    const std::string rowsPdf = mDir.file("rows.pdf");
    print(setup, rowsPdf, [&](Graphics& g) { g.fillRows(100, 50, 60, colors); });
    const std::string eachPdf = mDir.file("each.pdf");
    print(setup, eachPdf, [&](Graphics& g) {
        for (int32_t i = 0; i < 40; ++i) {
            g.setForeColor(colors[static_cast<size_t>(i)]);
            g.fillRect(100, 50 + i, 60, 1);
        }
    });
    const auto rows = imagetools::renderPdf(rowsPdf, kDpi);
    const auto each = imagetools::renderPdf(eachPdf, kDpi);
    ASSERT_TRUE(rows && each);
    ASSERT_EQ(rows->width, each->width);
    ASSERT_EQ(rows->height, each->height);
    EXPECT_TRUE(rows->rgb == each->rgb);
    // The rows are on the page, where they were drawn.
    EXPECT_EQ(
        rows->at(static_cast<int>((10 + 130) * kScale), static_cast<int>((10 + 50.5) * kScale)),
        colors[0]);
}

// A choice made on a tab of the real print dialog's options reaches the page: Grayscale prints
// a red fill grey, Color prints it red.
class RealPrintColourTest : public PrintFailureTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RealPrintColourTest, TheColourModeChosenReachesThePage)
{
    const bool grayscale = GetParam();
    setup.setSetupString(kA4);
    const std::string pdf = dir.file("page.pdf");
    const auto page = printThroughRealDialog(pdf, [grayscale](platform::testing::RealDialog& d) {
        EXPECT_TRUE(d.press("Options >>"));
        EXPECT_TRUE(d.chooseTab("Options"));
        EXPECT_TRUE(d.press(grayscale ? "Grayscale" : "Color"));
    });
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->print([](Graphics& g) {
        g.setForeColor(platform::RGB(255, 0, 0));
        g.fillRect(0, 0, 200, 100);
    }),
              PrintResult::Printed);
    const auto image = imagetools::renderPdf(pdf, 72);
    ASSERT_TRUE(image);
    const platform::Color c = image->at(100, 50);
    EXPECT_EQ(c.r == c.g && c.g == c.b, grayscale)
        << "the fill is " << int(c.r) << "," << int(c.g) << "," << int(c.b);
}

INSTANTIATE_TEST_SUITE_P(Modes, RealPrintColourTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Grayscale" : "Color"; });

// The real print dialog keeps the page that Page Setup chose, a custom paper size too, when the
// person prints without opening its properties (where the page is chosen).
TEST_F(PrintFailureTest, TheRealPrintDialogKeepsACustomPaperSize)
{
    setup.setSetupString(kCustom);
    const std::string pdf = dir.file("page.pdf");
    const auto page = printThroughRealDialog(pdf, [](platform::testing::RealDialog&) {});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->print(drawSomething), PrintResult::Printed);
    const std::optional<PdfInfo> info = pdfInfo(pdf);
    ASSERT_TRUE(info);
    EXPECT_NEAR(info->width, 300, 0.5);
    EXPECT_NEAR(info->height, 400, 0.5);
    EXPECT_EQ(setup.setupString(), kCustom);
}

} // namespace
