// Starts a test program: headless unless told otherwise, with the application object made
// once for all of its tests.

#include "platform/application.h"

#include "tests/support/modal_script.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#ifdef KESTRIX_TEST_WITH_APP
#include "app/App.h"
#include "app/FileTypes.h"

#include "platform/picture.h"
#endif

#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Each test program keeps its preferences in a folder of its own, never the user's.
    std::string config =
        (std::filesystem::temp_directory_path() / "kestrix-config-XXXXXX").string();
    if (mkdtemp(config.data()))
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
#ifdef KESTRIX_TEST_WITH_APP
    FileTypes::Declare();
    auto app = std::make_unique<App>();
    platform::setResourceFolder(KESTRIX_RESOURCES);
#else
    auto app = std::make_unique<platform::Application>("Platform tests");
#endif
    testsupport::InstallUnexpectedModalHandler();
    const int status = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(config, ec);
    return status;
}
