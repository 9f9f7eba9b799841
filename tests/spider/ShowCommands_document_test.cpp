// The Show menu's whole-map commands on a whole document: every player whose stance is known
// moves, the last one too; the central issue and players of unknown stance stay.

#include "app/frmMain.h"

#include "tests/support/app_fixture.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct WholeMapCase {
    const char* command;
    std::vector<int32_t> after; ///< every player's position, the central issue first
};

class WholeMapTest : public testsupport::AppTest,
                     public ::testing::WithParamInterface<WholeMapCase> {};

INSTANTIATE_TEST_SUITE_P(
    Commands, WholeMapTest,
    ::testing::Values(WholeMapCase{"ShowMakeEasier", {50, 30, 30, 5, 100, 10}},
                      WholeMapCase{"ShowMakeHarder", {50, 10, 30, -15, 85, -10}},
                      WholeMapCase{"ShowMorePolarized", {50, 30, 30, -15, 100, -10}}),
    [](const auto& info) { return std::string(info.param.command); });

TEST_P(WholeMapTest, MovesEveryKnownPlayerUpToTheLast)
{
    frmMain& m = main();
    testsupport::LoadDocument(m, {{"Issue", 50},
                                  {"A", 20},
                                  {"Unsure", 30, 50, 0, 0, "", true, true},
                                  {"B", -5},
                                  {"C", 95},
                                  {"Last", 0}});
    EXPECT_TRUE(platform::testing::chooseMenuItem(GetParam().command));
    std::vector<int32_t> positions;
    for (int32_t i = 0; i <= m.NumPlayer; ++i)
        positions.push_back(m.Player[i].Position);
    EXPECT_EQ(positions, GetParam().after);
    EXPECT_TRUE(m.FileChanged);
}

} // namespace
