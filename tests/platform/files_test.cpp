#include "platform/files.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using platform::File;
using platform::TextInputStream;
using testsupport::TempDir;

namespace {

std::vector<std::string> lines(const std::string& bytes, int count)
{
    TextInputStream in(bytes);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(in.readLine());
    return out;
}

TEST(TextInputStreamTest, ReadsEveryKindOfLineEndAlike)
{
    const std::vector<std::string> expected{"one", "", "three", "", ""};
    EXPECT_EQ(lines("one\n\nthree\n", 5), expected);
    EXPECT_EQ(lines("one\r\n\r\nthree\r\n", 5), expected);
    EXPECT_EQ(lines("one\r\rthree\r", 5), expected);
    EXPECT_EQ(lines("one\r\n\nthree", 5), expected);
}

TEST(TextInputStreamTest, SkipsAByteOrderMarkAndReadsLatin1WhenNotUtf8)
{
    EXPECT_EQ(lines("\xEF\xBB\xBFVarnholt Data\tfalse\n", 1)[0], "Varnholt Data\tfalse");
    EXPECT_EQ(lines("Z\xFCrich\n", 1)[0], "Zürich");
    EXPECT_EQ(lines("Zürich\n", 1)[0], "Zürich");
}

TEST(TextInputStreamTest, ReadAllKeepsTheTextWhole)
{
    TextInputStream in("a\r\nb");
    EXPECT_EQ(in.readAll(), "a\r\nb");
    EXPECT_TRUE(in.atEnd());
}

TEST(FileTest, WriteAllReplacesTheWholeFile)
{
    TempDir dir;
    const File f(dir.file("data.dat"));
    ASSERT_TRUE(f.writeAll("first version, rather long\n"));
    ASSERT_TRUE(f.writeAll("second\n"));
    EXPECT_EQ(f.readAll().value(), "second\n");
    EXPECT_EQ(f.name(), "data.dat");
    EXPECT_EQ(f.parent().absolutePath(), dir.path());
}

TEST(FileTest, AFailedWriteLeavesTheOldFileAsItWas)
{
    TempDir dir;
    EXPECT_FALSE(File(dir.file("missing/data.dat")).writeAll("x")) << "no such folder";
    EXPECT_FALSE(File(dir.path()).writeAll("x")) << "a folder is no file";
    // A file in a place where nobody may write, root included.
    const File locked("/proc/version");
    const std::optional<std::string> before = locked.readAll();
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(locked.writeAll("new"));
    EXPECT_EQ(locked.readAll(), before);
}

TEST(FileTest, PreferencesFolderFollowsXdgConfigHome)
{
    TempDir dir;
    const char* env = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = env ? env : "";
    const std::string config = dir.file("config/nested");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const auto folder = File::preferencesFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->absolutePath(), config);
    EXPECT_TRUE(folder->isFolder()) << "created when missing";
    if (previous.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}

} // namespace
