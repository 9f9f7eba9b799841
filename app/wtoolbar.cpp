#include "app/wtoolbar.h"

#include "app/Companions.h"
#include "app/frmMain.h"

#include <optional>

namespace {

const platform::Picture* cachedPicture(std::optional<std::optional<platform::Picture>>& slot,
                                       int number)
{
    if (!slot)
        slot = platform::Picture::fromResource(number);
    return *slot ? &**slot : nullptr;
}

} // namespace

const platform::Picture* img_ff()
{
    static std::optional<std::optional<platform::Picture>> slot;
    return cachedPicture(slot, 168);
}

const platform::Picture* img_graph()
{
    static std::optional<std::optional<platform::Picture>> slot;
    return cachedPicture(slot, 169);
}

const platform::Picture* img_spider()
{
    static std::optional<std::optional<platform::Picture>> slot;
    return cachedPicture(slot, 170);
}

const platform::Picture* img_swing()
{
    static std::optional<std::optional<platform::Picture>> slot;
    return cachedPicture(slot, 171);
}

void wtoolbar::Layout()
{
    setKind(platform::WindowKind::Floating);
    setTitle("View");
    setSize(280, 0);
    setResizable(false);
    setTitleBarButtons(true, true, false);
}

void wtoolbar::CreateControls()
{
    ToolbarItem1 =
        addToolbarItem("ToolbarItem1", "Spider", "Show the main spider plot", img_spider());
    ToolbarItem1->onAction = [this] { ToolbarItem1_Action(); };
    ToolbarItem2 =
        addToolbarItem("ToolbarItem2", "ForceField", "Show the force field diagram", img_ff());
    ToolbarItem2->onAction = [this] { ToolbarItem2_Action(); };
    ToolbarItem3 = addToolbarItem("ToolbarItem3", "Graph", "Show the data as a graph", img_graph());
    ToolbarItem3->onAction = [this] { ToolbarItem3_Action(); };
    ToolbarItem4 = addToolbarItem("ToolbarItem4", "Swing", "Show the Swing-o-meter", img_swing());
    ToolbarItem4->onAction = [this] { ToolbarItem4_Action(); };
}

void wtoolbar::PlaceAtBottomRight()
{
    // Inside the screen's available area, so that panels and the screen's edge never hide it.
    moveToBottomRightOfScreen();
}

void wtoolbar::ToolbarItem1_Action()
{
    frmMain::instance().show();
}

void wtoolbar::ToolbarItem2_Action()
{
    if (frmMain::instance().NumPlayer > 0)
        ShowForceField();
}

void wtoolbar::ToolbarItem3_Action()
{
    if (frmMain::instance().NumPlayer > 0)
        ShowGraph();
}

void wtoolbar::ToolbarItem4_Action()
{
    if (frmMain::instance().NumPlayer > 0) {
        ShowSwingometer();
        frmMain::instance().Swinging = true;
    }
}
