// The program's own platform library carries no test seam: none of the seam's calls, state or
// fakes is among the names it exports, and the program links it, not the test programs' build.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// What a command prints.
std::string output(const std::string& command)
{
    std::string out;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    std::array<char, 4096> chunk{};
    while (const size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe.get()))
        out.append(chunk.data(), n);
    return out;
}

TEST(ShippedLibraryTest, ExportsNoneOfTheTestSeamsNames)
{
    const std::string names = output("nm -DC --defined-only '" KESTRIX_PLATFORM_LIBRARY "'");
    ASSERT_NE(names.find("platform::Window::show()"), std::string::npos)
        << "the library's names could not be listed";
    for (const char* seam :
         {"platform::testing::", "TestServices", "modalHandler", "writeFault", "WriteFault",
          "testPrintQueue", "TestPrintQueue", "setScreenOverride", "setModuleFolder",
          "clearQuitRequest", "FakePrintQueue", "PageDrawingFault", "pageDrawingFault"})
        EXPECT_EQ(names.find(seam), std::string::npos) << seam;
}

TEST(ShippedLibraryTest, TheProgramLinksThePlatformsOwnLibrary)
{
    const std::string needed = output("readelf -d '" KESTRIX_PROGRAM "'");
    EXPECT_NE(needed.find("[libkestrix_platform.so]"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("testing"), std::string::npos) << needed;
}

} // namespace
