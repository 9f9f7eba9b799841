#include "app/Menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MenuTest, HasFileEditAndShowInThisOrder)
{
    const Menu& bar = Menu::instance();
    std::vector<std::string> menus;
    for (const auto& m : bar.menus())
        menus.push_back(m->text());
    EXPECT_EQ(menus, (std::vector<std::string>{"File", "Edit", "Show"}));
    EXPECT_EQ(&Menu::instance(), &bar) << "one instance";
}

TEST(MenuTest, TheFileMenuHasNineItemsEndingWithQuit)
{
    const platform::MenuItem* file = Menu::instance().child("UntitledMenu2");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->children().size(), 9u);
    const platform::MenuItem& quit = *file->children().back();
    EXPECT_EQ(quit.name(), "FileQuit");
    EXPECT_EQ(quit.role(), platform::MenuItem::Role::Quit);
    EXPECT_TRUE(quit.autoEnable());
}

struct ItemCase {
    const char* name;
    const char* text;
    const char* shortcut;
    bool autoEnable;
};

class MenuItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(MenuItemTest, CarriesItsCaptionShortcutAndEnabling)
{
    const platform::MenuItem* item = Menu::instance().item(GetParam().name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), GetParam().text);
    EXPECT_EQ(item->keyboardShortcut(), GetParam().shortcut);
    EXPECT_EQ(item->autoEnable(), GetParam().autoEnable);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuItemTest,
    ::testing::Values(ItemCase{"FileSave", "Save", "Cmd+S", false},
                      ItemCase{"FileSaveSet", "Save As", "Cmd+W", false},
                      ItemCase{"FileSaveasPicture", "Save as Picture", "", false},
                      ItemCase{"FilePrint", "Print", "Cmd+P", false},
                      ItemCase{"EditUndo", "Undo", "Cmd+Z", false},
                      ItemCase{"ShowSwingometer", "Swing-o-meter", "", true},
                      ItemCase{"ShowMorePolarized", "More Polarized", "", true}));

TEST(MenuTest, ItemsAreFoundByNameIgnoringLetterCase)
{
    EXPECT_EQ(Menu::instance().item("FileSaveaspicture"),
              Menu::instance().item("FileSaveasPicture"));
    EXPECT_NE(Menu::instance().child("showmenu"), nullptr);
    EXPECT_EQ(Menu::instance().item("NoSuchItem"), nullptr);
}

} // namespace
