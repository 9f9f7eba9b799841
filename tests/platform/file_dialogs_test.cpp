#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/testing.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

namespace pt = platform::testing;

// The real dialogs, as a person sees them: opening a file changes nothing on the disk; saving
// may make a new folder, but nothing in either dialog moves a file by a drag.
struct ReachCase {
    const char* name;
    std::function<void(const std::string& folder)> show;
    bool newFolder;
    bool renameOrDelete;
};

class FileDialogTest : public ::testing::TestWithParam<ReachCase> {};

TEST_P(FileDialogTest, LetsNothingBeMovedByADrag)
{
    testsupport::TempDir dir;
    const pt::FileDialogReach reach = pt::probeFileDialog([&] { GetParam().show(dir.path()); });
    ASSERT_TRUE(reach.shown);
    EXPECT_FALSE(reach.dragAway);
    EXPECT_FALSE(reach.dropOnto);
    EXPECT_EQ(reach.newFolder, GetParam().newFolder);
    EXPECT_EQ(reach.renameOrDelete, GetParam().renameOrDelete);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FileDialogTest,
                         ::testing::Values(ReachCase{"Open",
                                                     [](const std::string& folder) {
                                                         EXPECT_FALSE(platform::OpenDialog(
                                                             "text", platform::File(folder)));
                                                     },
                                                     false, false},
                                           ReachCase{"Save",
                                                     [](const std::string& folder) {
                                                         EXPECT_FALSE(platform::GetSaveFolderItem(
                                                             "text", "Untitled.dat",
                                                             platform::File(folder)));
                                                     },
                                                     true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
