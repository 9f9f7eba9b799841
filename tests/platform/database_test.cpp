#include "platform/database.h"

#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

using platform::File;
using platform::SqlDatabase;
using testsupport::TempDir;

namespace {

// A real SQLite database of 1024 bytes (page size 512) with one table, `notes`, holding one
// row: its non-zero runs, as offset and hexadecimal bytes.
std::string TinyDatabase()
{
    struct Run {
        size_t offset;
        const char* hex;
    };
    static const Run runs[] = {
        {0, "53514c69746520666f726d617420330002000101004020200000000200000002"},
        {43, "0100000004"},
        {59, "01"},
        {95, "02002e63010d0000000101b20001b2"},
        {434, "4c010617171701797461626c656e6f7465736e6f746573024352454154452054"
              "41424c45206e6f7465732028696420494e5445474552205052494d415259204b"
              "45592c20746578742054455854290d0000000101f50001f5"},
        {1013, "0901030019427564676574"},
    };
    std::string bytes(1024, '\0');
    for (const Run& run : runs) {
        const std::string hex = run.hex;
        for (size_t i = 0; i < hex.size(); i += 2)
            bytes[run.offset + i / 2] = static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

TEST(SqlDatabaseTest, AMissingFileIsNotConnectedAndNotCreated)
{
    TempDir dir;
    SqlDatabase db;
    db.setDatabaseFile(File(dir.file("Budget.rsd")));
    EXPECT_FALSE(db.connect());
    EXPECT_FALSE(db.isConnected());
    db.close();
    EXPECT_TRUE(testsupport::TempDir::names(dir.path()).empty());
}

TEST(SqlDatabaseTest, NoFileSetIsNotConnected)
{
    SqlDatabase db;
    EXPECT_FALSE(db.databaseFile().exists());
    EXPECT_FALSE(db.connect());
}

TEST(SqlDatabaseTest, AFolderIsNotConnected)
{
    TempDir dir;
    SqlDatabase db;
    db.setDatabaseFile(File(dir.path()));
    EXPECT_FALSE(db.connect());
    EXPECT_TRUE(testsupport::TempDir::names(dir.path()).empty());
}

// A pipe that nobody writes into, or a device, in the place of the database: not connected,
// and at once, where opening the pipe to read it would wait for a writer.
class SqlDatabaseNotAFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SqlDatabaseNotAFileTest, IsNotConnected)
{
    TempDir dir;
    const std::string path = dir.file("Budget.rsd");
    if (std::string(GetParam()) == "pipe")
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    else
        std::filesystem::create_symlink(GetParam(), path);
    SqlDatabase db;
    db.setDatabaseFile(File(path));
    EXPECT_FALSE(db.connect());
    EXPECT_FALSE(db.isConnected());
    EXPECT_FALSE(std::filesystem::is_regular_file(path)) << "left as it was";
}

INSTANTIATE_TEST_SUITE_P(Kinds, SqlDatabaseNotAFileTest,
                         ::testing::Values("pipe", "/dev/zero", "/dev/null"));

// A file that is there but that this user may not read: the driver's own open fails, which no
// check before it sees.
TEST(SqlDatabaseTest, AFileThatCannotBeReadIsNotConnected)
{
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string path = dir.file("Budget.rsd");
    TempDir::write(path, TinyDatabase());
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    const int result = testsupport::RunAsNobody([&] {
        SqlDatabase db;
        db.setDatabaseFile(File(path));
        const bool connected = db.connect();
        return connected || db.isConnected() ? 1 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(TempDir::read(path), TinyDatabase());
}

class SqlDatabaseExistingTest : public ::testing::TestWithParam<bool> {};

TEST_P(SqlDatabaseExistingTest, ConnectsToAnExistingFileAndLeavesItAsItWas)
{
    TempDir dir;
    const std::string path = dir.file("Budget.rsd");
    const std::string bytes = GetParam() ? TinyDatabase() : std::string();
    TempDir::write(path, bytes);
    {
        SqlDatabase db;
        db.setDatabaseFile(File(path));
        EXPECT_EQ(db.databaseFile(), File(path));
        ASSERT_TRUE(db.connect());
        EXPECT_TRUE(db.isConnected());
        db.close();
        EXPECT_FALSE(db.isConnected());
        // Connected again, and left to the destructor to close.
        ASSERT_TRUE(db.connect());
    }
    EXPECT_EQ(TempDir::read(path), bytes);
    EXPECT_EQ(testsupport::TempDir::names(dir.path()), std::vector<std::string>{"Budget.rsd"})
        << "no journal or other file beside it";
}

INSTANTIATE_TEST_SUITE_P(EmptyAndTiny, SqlDatabaseExistingTest, ::testing::Bool());

TEST(SqlDatabaseTest, EachObjectHasAConnectionOfItsOwn)
{
    TempDir dir;
    TempDir::write(dir.file("a.rsd"), TinyDatabase());
    TempDir::write(dir.file("b.rsd"), TinyDatabase());
    SqlDatabase a;
    SqlDatabase b;
    a.setDatabaseFile(File(dir.file("a.rsd")));
    b.setDatabaseFile(File(dir.file("b.rsd")));
    ASSERT_TRUE(a.connect());
    ASSERT_TRUE(b.connect());
    a.close();
    EXPECT_FALSE(a.isConnected());
    EXPECT_TRUE(b.isConnected());
    // Another file for the next connection; a missing one ends the earlier connection.
    b.setDatabaseFile(File(dir.file("c.rsd")));
    EXPECT_FALSE(b.connect());
    EXPECT_FALSE(b.isConnected());
    EXPECT_FALSE(File(dir.file("c.rsd")).exists());
}

} // namespace
