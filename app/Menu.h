#pragma once

#include "platform/menu.h"

/// The program's one menu bar: File, Edit and Show. The application takes it at start-up and
/// every document window installs the same instance.
class Menu : public platform::MenuBar {
public:
    static Menu& instance();

private:
    Menu();
};
