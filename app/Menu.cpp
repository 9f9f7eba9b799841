#include "app/Menu.h"

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
         {{"FileNew", "New", "Cmd+N", false},
          {"FileOpen", "Open", "Cmd+O", false},
          {"FileSave", "Save", "Cmd+S", false},
          {"FileSaveSet", "Save As", "Cmd+W", false},
          {"FileSaveasPicture", "Save as Picture", "", false},
          {"FileExportData", "Export Data", "", false},
          {"FilePageSetup", "Page Setup", "", false},
          {"FilePrint", "Print", "Cmd+P", false},
          {"FileQuit", "Quit", "Cmd+Q", true}}},
        {"UntitledMenu0",
         "Edit",
         {{"EditUndo", "Undo", "Cmd+Z", false},
          {"UntitledMenu1", "-", "", false},
          {"EditCut", "Cut", "Cmd+X", false},
          {"EditCopy", "Copy", "Cmd+C", false},
          {"EditPaste", "Paste", "Cmd+V", false},
          {"EditClear", "Clear", "", false}}},
        {"ShowMenu",
         "Show",
         {{"ShowSwingometer", "Swing-o-meter", "", true},
          {"ShowMakeHarder", "Make Harder", "", true},
          {"ShowMakeEasier", "Make Easier", "", true},
          {"ShowMorePolarized", "More Polarized", "", true}}},
    };
    for (const MenuSpec& def : menus) {
        append(std::make_unique<MenuItem>(def.name, def.text, "", false));
        MenuItem* menu = child(def.name);
        for (const ItemSpec& item : def.items) {
            const auto role = std::string_view(item.name) == "FileQuit" ? MenuItem::Role::Quit
                                                                        : MenuItem::Role::Normal;
            menu->append(std::make_unique<MenuItem>(item.name, item.text, item.shortcut,
                                                    item.autoEnable, role));
        }
    }
}
