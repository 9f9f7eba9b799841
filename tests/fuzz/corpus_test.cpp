// A fuzz target's corpus as regular tests: every seed, and every input that once made the
// target fail, goes through the target once. The target aborts on a broken promise.

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The files of the seed folders, which KESTRIX_FUZZ_SEEDS lists separated by "|".
std::vector<std::string> corpusFiles()
{
    std::vector<std::string> files;
    const std::string folders = KESTRIX_FUZZ_SEEDS;
    size_t from = 0;
    while (from <= folders.size()) {
        const size_t bar = std::min(folders.find('|', from), folders.size());
        for (const auto& entry :
             std::filesystem::directory_iterator(folders.substr(from, bar - from)))
            if (entry.is_regular_file())
                files.push_back(entry.path().string());
        from = bar + 1;
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The folder's and the file's names, so that a failing input is found by its test's name.
std::string testName(const ::testing::TestParamInfo<std::string>& info)
{
    const std::filesystem::path path(info.param);
    std::string name = path.parent_path().filename().string() + "_" + path.filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class CorpusTest : public ::testing::TestWithParam<std::string> {};

// The target's name (KESTRIX_FUZZ_TARGET) heads the tests' names, since targets share seeds.
#define KESTRIX_INSTANTIATE_CORPUS(target)                                                         \
    INSTANTIATE_TEST_SUITE_P(target, CorpusTest, ::testing::ValuesIn(corpusFiles()), testName)
KESTRIX_INSTANTIATE_CORPUS(KESTRIX_FUZZ_TARGET);

TEST_P(CorpusTest, PassesThroughTheTarget)
{
    const std::string bytes = testsupport::TempDir::read(GetParam());
    EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
              0);
}

} // namespace
