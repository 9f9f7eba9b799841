#include "app/App.h"

#include "platform/dialogs.h"

#include "tests/support/modal_script.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;

// The platform names no program: the application object the program makes tells it the name
// its message boxes carry.
TEST(AppTest, MessageBoxesAreTitledWithTheProgramsName)
{
    ASSERT_NE(dynamic_cast<App*>(platform::Application::instance()), nullptr);
    testsupport::ModalScript script;
    script.expect(Kind::Message, [](const ModalRequest& r) {
        EXPECT_EQ(r.title, "Kestrix");
        return ModalAnswer::ok();
    });
    platform::MsgBox("You have reached the limit of 50 players");
    EXPECT_TRUE(script.done());
}

} // namespace
