// The program's folders form layers: platform/ at the bottom, then app/, spider/, forcefield/
// and graph/, each of which may use the ones below it and never one above. Only platform/ sees
// the toolkit, and none of the program's code includes the test seam, which only the test
// programs link. A source file that includes across these lines fails here, so that the
// layering holds although all of it builds into one library.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What each folder may include of the program's folders.
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"platform", {"platform"}},
    {"app", {"platform", "app"}},
    {"spider", {"platform", "app", "spider"}},
    {"forcefield", {"platform", "app", "spider", "forcefield"}},
    {"graph", {"platform", "app", "spider", "forcefield", "graph"}},
};

struct Include {
    std::string file; // relative to the source tree
    int line = 0;
    std::string target; // what stands between the quotes or angle brackets
    bool angled = false;
};

std::vector<Include> includesOf(const std::string& folder)
{
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    const fs::path root(KESTRIX_SOURCE_DIR);
    std::vector<Include> out;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int n = 1; std::getline(in, text); ++n) {
            std::smatch m;
            if (std::regex_search(text, m, kInclude))
                out.push_back(
                    {fs::relative(entry.path(), root).string(), n, m[2].str(), m[1].str() == "<"});
        }
    }
    return out;
}

std::string where(const Include& inc)
{
    return inc.file + ":" + std::to_string(inc.line) + " includes " + inc.target;
}

class LayeringTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LayeringTest, IncludesOnlyWhatLiesBelowIt)
{
    const std::set<std::string>& allowed = kMayInclude.at(GetParam());
    for (const Include& inc : includesOf(GetParam())) {
        if (inc.angled)
            continue;
        const std::string top = inc.target.substr(0, inc.target.find('/'));
        if (kMayInclude.count(top)) {
            EXPECT_TRUE(allowed.count(top)) << where(inc) << ", which lies above it";
        }
    }
}

class ToolkitTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ToolkitTest, IsSeenOnlyByThePlatform)
{
    for (const Include& inc : includesOf(GetParam())) {
        const bool toolkit =
            inc.angled && (inc.target.starts_with("Q") || inc.target.starts_with("cups/"));
        EXPECT_FALSE(toolkit) << where(inc);
    }
}

class TestSeamTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TestSeamTest, IsIncludedByNoneOfTheProgramsCode)
{
    // The seam is built into the test programs' platform library alone: only its own files
    // include its headers.
    const std::string seam = (fs::path("platform") / "testing").string() + "/";
    for (const Include& inc : includesOf(GetParam())) {
        const bool seamHeader =
            inc.target == "platform/testing.h" || inc.target.starts_with("platform/testing/");
        if (!inc.angled && seamHeader) {
            EXPECT_TRUE(inc.file.starts_with(seam) || inc.file == "platform/testing.h")
                << where(inc);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, LayeringTest,
                         ::testing::Values("platform", "app", "spider", "forcefield", "graph"));
INSTANTIATE_TEST_SUITE_P(Folders, ToolkitTest,
                         ::testing::Values("app", "spider", "forcefield", "graph"));
INSTANTIATE_TEST_SUITE_P(Folders, TestSeamTest,
                         ::testing::Values("platform", "app", "spider", "forcefield", "graph"));

} // namespace
