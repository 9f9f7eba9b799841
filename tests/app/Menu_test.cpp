#include "app/Menu.h"
#include "app/MenuItemNames.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/application.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using testsupport::Kind;
using testsupport::ModalScript;

struct ShortcutCase {
    const char* key;
    /// Expects what the command shows, answered so that it ends there.
    void (*answers)(ModalScript&);
    /// The program quits.
    bool quits;
};

void PrintTo(const ShortcutCase& c, std::ostream* os)
{
    *os << c.key;
}

class MenuShortcutTest : public testsupport::AppTest,
                         public ::testing::WithParamInterface<ShortcutCase> {};

// Typed into the main window, as the user would, each shortcut runs its File command there.
TEST_P(MenuShortcutTest, RunsItsCommandInTheFrontmostWindow)
{
    ModalScript script;
    GetParam().answers(script);
    platform::testing::typeKey(main(), GetParam().key);
    EXPECT_TRUE(script.done()) << "the command did not run";
    EXPECT_EQ(platform::Application::quitRequested(), GetParam().quits);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MenuShortcutTest,
    ::testing::Values(
        ShortcutCase{"Ctrl+N",
                     [](ModalScript& s) {
                         s.window([](platform::Window& w) {
                             EXPECT_EQ(w.title(), "New Player");
                             w.close();
                         });
                     },
                     false},
        ShortcutCase{
            "Ctrl+O",
            [](ModalScript& s) { s.cancel(Kind::OpenFile).message("Problem with file ..."); },
            false},
        // A titled document is saved where it is, without a dialog: here a folder that is gone.
        ShortcutCase{"Ctrl+S",
                     [](ModalScript& s) {
                         frmMain& m = frmMain::instance();
                         m.InFileName = "gone.dat";
                         m.InFilePath = "/no/such/folder/gone.dat";
                         s.message("Problem creating file ...");
                     },
                     false},
        ShortcutCase{
            "Ctrl+W",
            [](ModalScript& s) { s.cancel(Kind::SaveFile).message("Problem creating file ..."); },
            false},
        ShortcutCase{"Ctrl+P",
                     [](ModalScript& s) { s.cancel(Kind::PageSetup).cancel(Kind::Print); }, false},
        ShortcutCase{"Ctrl+Q", [](ModalScript&) {}, true},
        // The Edit items have no command: their shortcuts do nothing.
        ShortcutCase{"Ctrl+Z", [](ModalScript&) {}, false}),
    [](const auto& info) { return std::string(info.param.key).substr(5); });

TEST(MenuTest, ItemsAreFoundByNameIgnoringLetterCase)
{
    EXPECT_EQ(Menu::instance().item("FileSaveaspicture"),
              Menu::instance().item("FileSaveasPicture"));
    EXPECT_NE(Menu::instance().child("showmenu"), nullptr);
    EXPECT_EQ(Menu::instance().item("NoSuchItem"), nullptr);
}

// A window that binds a handler to the name it is given, in the program's menu bar.
class BindingWindow : public platform::WindowClass<BindingWindow> {
public:
    static inline std::string name;

protected:
    void Layout() override
    {
        setMenuBar(Menu::instance());
        setTitle("Binding");
    }
    void AddMenuHandlers() override
    {
        addMenuHandler(name, [] {});
    }

private:
    friend class platform::WindowClass<BindingWindow>;
    BindingWindow() = default;
};

// A handler bound to a name that the menu bar lacks would never run: it fails at once, while
// every name the windows use is one of the menu bar's, whatever its letter case.
TEST(MenuBindingTest, AHandlerForANameTheMenuBarLacksFailsLoudly)
{
    BindingWindow::name = "FileSaveAsPictur";
    EXPECT_THROW(BindingWindow::instance(), std::logic_error);
    platform::testing::destroyAllWindows();
    BindingWindow::name = "FileSaveaspicture";
    EXPECT_NO_THROW(BindingWindow::instance());
    EXPECT_NE(BindingWindow::instance().menuHandler(MenuItemName::FileSaveasPicture), nullptr);
    platform::testing::destroyAllWindows();
}

} // namespace
