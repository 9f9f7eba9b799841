#include "app/App.h"

#include "app/FileTypes.h"
#include "app/Menu.h"
#include "app/frmMain.h"

App::App()
{
    setMenuBar(Menu::instance());
}

int RunKestrix()
{
    FileTypes::Declare();
    App app;
    return app.run([] { frmMain::instance(); });
}
