#include "app/App.h"

#include "app/FileTypes.h"
#include "app/Menu.h"
#include "app/frmMain.h"

#include "platform/picture.h"

App::App() : platform::Application("Kestrix")
{
    setMenuBar(Menu::instance());
}

int RunKestrix()
{
    // The toolbar pictures: beside the program in the build tree, in its data folder once
    // installed.
    platform::setResourceFolders({"resources", KESTRIX_INSTALLED_RESOURCES});
    FileTypes::Declare();
    App app;
    return app.run([] { frmMain::instance(); });
}
