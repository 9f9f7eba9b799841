#include "platform/graphics.h"
#include "platform/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr Color kWhite{255, 255, 255};
constexpr Color kBlack{0, 0, 0};

TEST(ColorTest, ComponentsAreLimitedTo0To255)
{
    EXPECT_EQ(RGB(510, 0, 0), (Color{255, 0, 0}));
    EXPECT_EQ(RGB(-20, 300, 128), (Color{0, 255, 128}));
}

TEST(GraphicsTest, ANewPictureIsWhiteAndDrawsBlackWithA1PixelPen)
{
    Picture pic(20, 20);
    EXPECT_EQ(pic.pixel(5, 5), kWhite);
    Graphics& g = pic.graphics();
    EXPECT_EQ(g.foreColor(), kBlack);
    EXPECT_EQ(g.penWidth(), 1);
    EXPECT_EQ(g.penHeight(), 1);
    EXPECT_EQ(g.width(), 20);
    EXPECT_EQ(g.height(), 20);
}

TEST(GraphicsTest, RectanglesCoverExactlyTheirArea)
{
    Picture pic(40, 40);
    Graphics& g = pic.graphics();
    g.setForeColor(RGB(255, 0, 0));
    g.fillRect(5, 5, 10, 4);
    g.setForeColor(kBlack);
    g.drawRect(20, 20, 10, 10);
    EXPECT_EQ(pic.pixel(5, 5), (Color{255, 0, 0}));
    EXPECT_EQ(pic.pixel(14, 8), (Color{255, 0, 0}));
    EXPECT_EQ(pic.pixel(15, 8), kWhite);
    EXPECT_EQ(pic.pixel(14, 9), kWhite);
    // The outline lies inside its rectangle.
    EXPECT_EQ(pic.pixel(20, 25), kBlack);
    EXPECT_EQ(pic.pixel(29, 25), kBlack);
    EXPECT_EQ(pic.pixel(30, 25), kWhite);
    EXPECT_EQ(pic.pixel(25, 29), kBlack);
    EXPECT_EQ(pic.pixel(25, 30), kWhite);
    EXPECT_EQ(pic.pixel(25, 25), kWhite);
}

// Columns of colours side by side, where they lie on the surface and where they run off it.
struct ColumnsCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t h;
    int32_t count;
};

class ColumnsTest : public ::testing::TestWithParam<ColumnsCase> {};

TEST_P(ColumnsTest, ShowWhatAFillOfEachColumnShows)
{
    const ColumnsCase& c = GetParam();
    std::vector<Color> colors;
    for (int32_t i = 0; i < c.count; ++i)
        colors.push_back(RGB(255 - 7 * i, 3 * i, 100 + i));
    Picture columns(30, 20);
    columns.graphics().fillColumns(c.x, c.y, c.h, colors);
    Picture each(30, 20);
    for (int32_t i = 0; i < c.count; ++i) {
        each.graphics().setForeColor(colors[static_cast<size_t>(i)]);
        each.graphics().fillRect(c.x + i, c.y, 1, c.h);
    }
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 30; ++x)
            ASSERT_EQ(columns.pixel(x, y), each.pixel(x, y)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Places, ColumnsTest,
                         ::testing::Values(ColumnsCase{"Inside", 3, 2, 10, 20},
                                           ColumnsCase{"RunningOffEveryEdge", -5, -4, 40, 50},
                                           ColumnsCase{"LeftOfTheSurface", -40, 0, 20, 30},
                                           ColumnsCase{"BelowTheSurface", 0, 25, 5, 30},
                                           ColumnsCase{"NoHeight", 0, 0, 0, 30}),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows of colours one under another, where they lie on the surface and where they run off it.
struct RowsCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t count;
};

class RowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(RowsTest, ShowWhatAFillOfEachRowShows)
{
    const RowsCase& c = GetParam();
    std::vector<Color> colors;
    for (int32_t i = 0; i < c.count; ++i)
        colors.push_back(RGB(255 - 7 * i, 3 * i, 100 + i));
    Picture rows(20, 30);
    rows.graphics().fillRows(c.x, c.y, c.w, colors);
    Picture each(20, 30);
    for (int32_t i = 0; i < c.count; ++i) {
        each.graphics().setForeColor(colors[static_cast<size_t>(i)]);
        each.graphics().fillRect(c.x, c.y + i, c.w, 1);
    }
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 20; ++x)
            ASSERT_EQ(rows.pixel(x, y), each.pixel(x, y)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Places, RowsTest,
                         ::testing::Values(RowsCase{"Inside", 2, 3, 10, 20},
                                           RowsCase{"RunningOffEveryEdge", -4, -5, 40, 50},
                                           RowsCase{"AboveTheSurface", 0, -40, 20, 30},
                                           RowsCase{"RightOfTheSurface", 25, 0, 5, 30},
                                           RowsCase{"NoWidth", 0, 0, 0, 30}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GraphicsTest, AWidePenHangsRightAndBelowTheLine)
{
    Picture pic(60, 60);
    Graphics& g = pic.graphics();
    g.setPenWidth(4);
    g.setPenHeight(4);
    g.drawLine(10, 10, 10, 40);
    for (int x = 10; x < 14; ++x)
        EXPECT_EQ(pic.pixel(x, 25), kBlack) << x;
    EXPECT_EQ(pic.pixel(9, 25), kWhite);
    EXPECT_EQ(pic.pixel(14, 25), kWhite);
    EXPECT_EQ(pic.pixel(11, 43), kBlack);
    EXPECT_EQ(pic.pixel(11, 44), kWhite);

    g.setPenWidth(1);
    g.setPenHeight(1);
    g.drawLine(30, 5, 50, 5);
    EXPECT_EQ(pic.pixel(30, 5), kBlack);
    EXPECT_EQ(pic.pixel(50, 5), kBlack);
    EXPECT_EQ(pic.pixel(40, 6), kWhite);
}

TEST(GraphicsTest, TextSitsOnItsBaselineAndBoldIsWider)
{
    Picture pic(200, 60);
    Graphics& g = pic.graphics();
    g.setTextSize(12);
    const double plain = g.stringWidth("Central issue");
    g.setBold(true);
    const double bold = g.stringWidth("Central issue");
    EXPECT_GT(plain, 50);
    EXPECT_GT(bold, plain);
    g.setBold(false);
    g.setTextSize(9);
    EXPECT_LT(g.stringWidth("Central issue"), plain);
    EXPECT_EQ(g.stringWidth(""), 0);

    g.setTextSize(20);
    g.drawString("HHHH", 10, 40);
    bool inkAbove = false, inkBelow = false;
    for (int x = 10; x < 60; ++x) {
        for (int y = 25; y < 40; ++y)
            inkAbove |= pic.pixel(x, y) != kWhite;
        for (int y = 41; y < 60; ++y)
            inkBelow |= pic.pixel(x, y) != kWhite;
    }
    EXPECT_TRUE(inkAbove);
    EXPECT_FALSE(inkBelow) << "capitals have no descent below the baseline";
}

// The dark pixels of a picture, and the box they lie in.
struct Ink {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Ink inkOf(const Picture& pic)
{
    Ink ink;
    for (int32_t y = 0; y < pic.height(); ++y)
        for (int32_t x = 0; x < pic.width(); ++x) {
            const Color c = pic.pixel(x, y);
            if (c.r + c.g + c.b >= 3 * 128)
                continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// A text drawn to stay inside, from a point where it would run off each edge or fits.
struct InsideCase {
    const char* name;
    int32_t x, y;
    bool moved;
};

class DrawStringInsideTest : public ::testing::TestWithParam<InsideCase> {};

INSTANTIATE_TEST_SUITE_P(
    Places, DrawStringInsideTest,
    ::testing::Values(InsideCase{"Fits", 20, 30, false}, InsideCase{"OffTheRight", 150, 30, true},
                      InsideCase{"OffTheLeft", -40, 30, true}, InsideCase{"OffTheTop", 20, 3, true},
                      InsideCase{"OffTheBottom", 20, 58, true},
                      InsideCase{"FarOffTheCorner", 2147483000, -2147483000, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(DrawStringInsideTest, ShowsTheWholeTextTwoPixelsInFromEveryEdge)
{
    const InsideCase& c = GetParam();
    const std::string text = "Chamber of Commerce";
    Picture alone(400, 100);
    alone.graphics().setTextSize(9);
    alone.graphics().drawString(text, 100, 50);
    const Ink whole = inkOf(alone);

    Picture pic(200, 60);
    Graphics& g = pic.graphics();
    g.setTextSize(9);
    g.drawStringInside(text, c.x, c.y);
    const Ink ink = inkOf(pic);
    EXPECT_EQ(ink.count, whole.count) << "the whole text";
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, 197);
    EXPECT_LE(ink.bottom, 57);
    if (!c.moved) {
        EXPECT_EQ(ink.left - 20, whole.left - 100) << "a text that fits stays where it is";
        EXPECT_EQ(ink.bottom - 30, whole.bottom - 50);
    }
}

TEST(GraphicsTest, ATextWiderThanTheSurfaceStartsTwoPixelsIn)
{
    Picture pic(40, 30);
    pic.graphics().drawStringInside("Chamber of Commerce", 10, 20);
    EXPECT_GE(inkOf(pic).left, 2);
    EXPECT_LE(inkOf(pic).left, 3);
}

TEST(GraphicsTest, APictureKeepsItsDrawingStateAcrossUses)
{
    Picture pic(10, 10);
    pic.graphics().setForeColor(RGB(0, 0, 255));
    pic.graphics().setTextSize(8);
    EXPECT_EQ(pic.graphics().foreColor(), (Color{0, 0, 255}));
    EXPECT_EQ(pic.graphics().textSize(), 8);
    pic.graphics().fillRect(0, 0, 2, 2);
    EXPECT_EQ(pic.pixel(1, 1), (Color{0, 0, 255}));
}

// The program's pictures: beside it in the build tree, in its data folder once installed.
class ResourcePictureTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        std::filesystem::current_path(mStartFolder);
        setResourceFolders({"resources"});
    }

private:
    std::filesystem::path mStartFolder = std::filesystem::current_path();
};

TEST_F(ResourcePictureTest, TheFirstFolderThatHoldsAPictureGivesIt)
{
    setResourceFolders({"/no/such/folder", KESTRIX_RESOURCES});
    const std::optional<Picture> spider = Picture::fromResource(170);
    ASSERT_TRUE(spider);
    EXPECT_EQ(spider->width(), 32);
    EXPECT_FALSE(Picture::fromResource(1)) << "no such picture anywhere";
}

TEST_F(ResourcePictureTest, ARelativeFolderIsTakenFromTheProgramsFolder)
{
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe");
    const std::filesystem::path relative =
        std::filesystem::relative(KESTRIX_RESOURCES, program.parent_path());
    ASSERT_TRUE(relative.is_relative());
    std::filesystem::current_path("/"); // not from the working folder
    setResourceFolders({relative.string()});
    EXPECT_TRUE(Picture::fromResource(168));
}

} // namespace

// --- Texts longer than the surface ---

std::string repeated(const std::string& piece, size_t length)
{
    std::string text;
    while (text.size() < length)
        text += piece;
    return text;
}

struct LongTextCase {
    const char* name;
    std::string text;
    int32_t x;
    double size;
    bool bold;
};

class LongTextTest : public ::testing::TestWithParam<LongTextCase> {};

INSTANTIATE_TEST_SUITE_P(
    Texts, LongTextTest,
    ::testing::Values(
        // Kerning pairs, accents and a character outside the Basic Multilingual Plane.
        LongTextCase{"Mixed", repeated("Tax AV Wave Tést \xF0\x9D\x90\x80 ", 3000), 5, 12, false},
        LongTextCase{"MixedBold", repeated("Tax AV Wave Tést ", 3000), 5, 9, true},
        LongTextCase{"Marks", repeated("e\xCC\x81\xCC\xA3 ", 3000), 5, 12, false},
        // Starts far left of the surface; runs on past its right edge.
        LongTextCase{"FromTheLeft", std::string(4000, 'n'), -20000, 12, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(LongTextTest, ShowsOnASurfaceWhatTheWholeTextShowsThere)
{
    const LongTextCase& c = GetParam();
    auto draw = [&c](Graphics& g, int32_t x) {
        g.setTextSize(c.size);
        g.setBold(c.bold);
        g.drawString(c.text, x, 30);
    };
    // The reference: a surface wide enough for the whole text, which it lays out whole.
    const int32_t shift = c.x < 0 ? -c.x : 0;
    Picture whole(70000, 40);
    draw(whole.graphics(), c.x + shift);
    Picture narrow(300, 40);
    draw(narrow.graphics(), c.x);
    int differing = 0;
    int ink = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x) {
            differing += narrow.pixel(x, y) != whole.pixel(x + shift, y);
            ink += narrow.pixel(x, y) != kWhite;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(ink, 300) << "the text is there";
}

TEST_P(LongTextTest, MeasuresCloseToTheWholeText)
{
    const LongTextCase& c = GetParam();
    auto measure = [&c](Graphics& g) {
        g.setTextSize(c.size);
        g.setBold(c.bold);
        return g.stringWidth(c.text);
    };
    Picture whole(70000, 10);
    const double exact = measure(whole.graphics());
    ASSERT_LT(exact, 70000) << "the reference surface holds the whole text";
    Picture narrow(300, 10);
    EXPECT_NEAR(measure(narrow.graphics()), exact, exact * 0.001);
}

TEST(GraphicsTest, AMillionsOfCharactersLongTextIsMeasuredWholeAndDrawnToTheEdge)
{
    // Only what can be seen is laid out; how long that takes is the benchmark's to measure.
    const std::string text(5000000, 'a');
    Picture pic(772, 624);
    Graphics& g = pic.graphics();
    const double width = g.stringWidth(text);
    g.drawString(text, 10, 100);
    g.drawString(text, -static_cast<int32_t>(width / 2), 200);
    EXPECT_DOUBLE_EQ(width, 5000000 * g.stringWidth("a")) << "no kerning between a's";
    // Both texts run on to the surface's right edge.
    for (const int32_t baseline : {100, 200}) {
        int ink = 0;
        for (int y = baseline - 10; y <= baseline; ++y)
            for (int x = 740; x < 772; ++x)
                ink += pic.pixel(x, y) != kWhite;
        EXPECT_GT(ink, 30) << "at baseline " << baseline;
    }
}

namespace {

// The machine's fonts that fontconfig lists in this process (the fonts the program adds itself
// aside), as (family names, file) pairs.
std::vector<std::pair<std::string, std::string>> listedFonts()
{
    std::vector<std::pair<std::string, std::string>> fonts;
    const FcFontSet* set = FcConfigGetFonts(nullptr, FcSetSystem);
    for (int i = 0; set && i < set->nfont; ++i) {
        std::string families;
        FcChar8* value = nullptr;
        for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &value) == FcResultMatch;
             ++n)
            families += std::string(reinterpret_cast<const char*>(value)) + ";";
        FcChar8* file = nullptr;
        FcPatternGetString(set->fonts[i], FC_FILE, 0, &file);
        fonts.emplace_back(families, file ? reinterpret_cast<const char*>(file) : "");
    }
    return fonts;
}

TEST(FontConfigTest, OnlyTheProgramsFamilyIsListedWithBothItsFaces)
{
    const auto fonts = listedFonts();
    bool regular = false;
    bool bold = false;
    for (const auto& [families, file] : fonts) {
        EXPECT_NE(families.find("DejaVu Sans;"), std::string::npos) << families << " " << file;
        regular |= file.ends_with("/DejaVuSans.ttf");
        bold |= file.ends_with("/DejaVuSans-Bold.ttf");
    }
    EXPECT_TRUE(regular);
    EXPECT_TRUE(bold);
}

// What the machine's configuration says of drawing a font, under this process's configuration
// and under the machine's own.
TEST(FontConfigTest, TheMachinesSettingsForTheFontStillApply)
{
    FcConfig* machine = FcInitLoadConfigAndFonts();
    ASSERT_NE(machine, nullptr);
    FcObjectSet* settings =
        FcObjectSetBuild(FC_FILE, FC_ANTIALIAS, FC_HINTING, FC_HINT_STYLE, FC_AUTOHINT, FC_RGBA,
                         FC_LCD_FILTER, FC_EMBOLDEN, FC_DPI, nullptr);
    for (const char* name : {"DejaVu Sans", "DejaVu Sans:bold"}) {
        FcPattern* matched[2] = {};
        FcConfig* configs[2] = {nullptr, machine};
        for (int i = 0; i < 2; ++i) {
            FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(name));
            FcConfigSubstitute(configs[i], wanted, FcMatchPattern);
            FcDefaultSubstitute(wanted);
            FcResult result = FcResultNoMatch;
            matched[i] = FcFontMatch(configs[i], wanted, &result);
            FcPatternDestroy(wanted);
        }
        ASSERT_NE(matched[0], nullptr) << name;
        ASSERT_NE(matched[1], nullptr) << name;
        EXPECT_TRUE(FcPatternEqualSubset(matched[0], matched[1], settings)) << name;
        FcPatternDestroy(matched[0]);
        FcPatternDestroy(matched[1]);
    }
    FcObjectSetDestroy(settings);
    FcConfigDestroy(machine);
}

// A machine without the program's family: the program still lists the fonts it has, so its
// text is shown in them. Run in a process of its own, started with that machine's
// configuration.
TEST(FontConfigTest, WithoutTheProgramsFamilyTheMachinesFontsAreListed)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kestrix-fonts-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "fonts");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
                               folder / "fonts" / "DejaVuSerif.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    {
        std::ofstream conf(folder / "fonts.conf");
        conf << "<?xml version=\"1.0\"?><fontconfig><dir>" << (folder / "fonts").string()
             << "</dir><cachedir>" << (folder / "cache").string() << "</cachedir></fontconfig>";
    }
    const char* before = std::getenv("FONTCONFIG_FILE");
    const std::optional<std::string> kept =
        before ? std::optional<std::string>(before) : std::nullopt;
    setenv("FONTCONFIG_FILE", (folder / "fonts.conf").c_str(), 1);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const auto fonts = listedFonts();
            const bool serif = fonts.size() == 1 && fonts[0].first == "DejaVu Serif;";
            std::exit(serif ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    if (kept)
        setenv("FONTCONFIG_FILE", kept->c_str(), 1);
    else
        unsetenv("FONTCONFIG_FILE");
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

} // namespace
