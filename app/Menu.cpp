#include "app/Menu.h"
#include "app/MenuItemNames.h"

#include <memory>

namespace {

struct ItemSpec {
    const char* name;
    const char* text;
    const char* shortcut;
    bool autoEnable;
};

struct MenuSpec {
    const char* name;
    const char* text;
    std::initializer_list<ItemSpec> items;
};

} // namespace

Menu& Menu::instance()
{
    static Menu* menu = new Menu(); // lives until the process ends
    return *menu;
}

Menu::Menu()
{
    using platform::MenuItem;
    const MenuSpec menus[] = {
        {"UntitledMenu2",
         "File",
         {{MenuItemName::FileNew, "New", "Cmd+N", false},
          {MenuItemName::FileOpen, "Open", "Cmd+O", false},
          {MenuItemName::FileSave, "Save", "Cmd+S", false},
          {MenuItemName::FileSaveSet, "Save As", "Cmd+W", false},
          {MenuItemName::FileSaveasPicture, "Save as Picture", "", false},
          {MenuItemName::FileExportData, "Export Data", "", false},
          {MenuItemName::FilePageSetup, "Page Setup", "", false},
          {MenuItemName::FilePrint, "Print", "Cmd+P", false},
          {MenuItemName::FileQuit, "Quit", "Cmd+Q", true}}},
        {"UntitledMenu0",
         "Edit",
         {{MenuItemName::EditUndo, "Undo", "Cmd+Z", false},
          {"UntitledMenu1", "-", "", false},
          {MenuItemName::EditCut, "Cut", "Cmd+X", false},
          {MenuItemName::EditCopy, "Copy", "Cmd+C", false},
          {MenuItemName::EditPaste, "Paste", "Cmd+V", false},
          {MenuItemName::EditClear, "Clear", "", false}}},
        {"ShowMenu",
         "Show",
         {{MenuItemName::ShowSwingometer, "Swing-o-meter", "", true},
          {MenuItemName::ShowMakeHarder, "Make Harder", "", true},
          {MenuItemName::ShowMakeEasier, "Make Easier", "", true},
          {MenuItemName::ShowMorePolarized, "More Polarized", "", true}}},
    };
    for (const MenuSpec& def : menus) {
        append(std::make_unique<MenuItem>(def.name, def.text, "", false));
        MenuItem* menu = child(def.name);
        for (const ItemSpec& item : def.items) {
            const auto role = std::string_view(item.name) == MenuItemName::FileQuit
                                  ? MenuItem::Role::Quit
                                  : MenuItem::Role::Normal;
            menu->append(std::make_unique<MenuItem>(item.name, item.text, item.shortcut,
                                                    item.autoEnable, role));
        }
    }
}
