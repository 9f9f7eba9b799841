// The force field window: its layout and controls, its open and close events with
// frmMain.ffing, the check boxes, the contextual menu and the Show menu's commands.

#include "forcefield/ffield.h"
#include "app/MenuItemNames.h"

#include "forcefield/AddNewPlayer.h"

#include "app/Companions.h"
#include "app/Menu.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "spider/ShowCommands.h"

#include "platform/menu.h"
#include "platform/values.h"

using platform::LockAll;
using platform::LockBottom;
using platform::LockNone;
using platform::LockRight;

namespace {

constexpr const char* kContextualRows = "Create New Player,Edit Nearest Player,Swap Sides";
constexpr const char* kEditTitle = "Edit player information";

// The menu items this window handles, in the order it enables them.
constexpr const char* kEnabledItems[] = {
    MenuItemName::FilePageSetup,  MenuItemName::FilePrint,      MenuItemName::FileSaveasPicture,
    MenuItemName::ShowMakeHarder, MenuItemName::ShowMakeEasier, MenuItemName::ShowMorePolarized,
    MenuItemName::ShowSwingometer};

} // namespace

void ffield::Layout()
{
    setMenuBar(Menu::instance());
    setKind(platform::WindowKind::Document);
    setTitle("Force Field Analysis");
    setSize(674, 707);
    setMinimumSize(64, 64);
    setMaximumSize(32000, 32000);
    setResizable(true);
    setTitleBarButtons(true, true, true);
}

void ffield::CreateControls()
{
    cGraph = addControl<platform::Canvas>("cGraph", {14, 14, 646, 652}, LockAll);
    cGraph->setAcceptsFocus(false);
    cGraph->setEraseBackground(true);
    cGraph->onMouseDown = [this](const platform::MouseEvent& e) { return cGraph_MouseDown(e); };
    cGraph->onPaint = [this](platform::Graphics& g) { cGraph_Paint(g); };
    cGraph->onMouseUp = [this](const platform::MouseEvent& e) { cGraph_MouseUp(e); };
    cGraph_Open();

    PushButton1 =
        addControl<platform::PushButton>("PushButton1", {579, 677, 69, 20}, LockRight | LockBottom);
    PushButton1->setCaption("Close");
    PushButton1->setTextSize(12);
    PushButton1->onAction = [this] { PushButton1_Action(); };
    setDefaultButton(PushButton1);

    // Ticked before the handlers are bound: the open event sets the flags to match.
    CheckBox1 =
        addControl<platform::CheckBox>("CheckBox1", {453, 678, 111, 20}, LockRight | LockBottom);
    CheckBox1->setCaption("Show captions");
    CheckBox1->setValue(true);
    CheckBox1->setTextSize(12);
    CheckBox1->onAction = [this] { CheckBox1_Action(); };

    ContextualMenu1 = addContextualMenu("ContextualMenu1");
    ContextualMenu1->onAction = [this](const std::string& item) { ContextualMenu1_Action(item); };
    ContextualMenu1_Open();

    pbAddPlayer = addControl<platform::PushButton>("pbAddPlayer", {14, 677, 97, 20}, LockNone);
    pbAddPlayer->setCaption("Add Player");
    pbAddPlayer->onAction = [this] { pbAddPlayer_Action(); };

    CheckBox2 =
        addControl<platform::CheckBox>("CheckBox2", {293, 677, 148, 20}, LockRight | LockBottom);
    CheckBox2->setCaption("Colour background");
    CheckBox2->setValue(true);
    CheckBox2->setTextSize(12);
    CheckBox2->onAction = [this] { CheckBox2_Action(); };
}

void ffield::AddMenuHandlers()
{
    addMenuHandler(MenuItemName::FilePrint, [this] { return _FilePrint_Action(); });
    addMenuHandler(MenuItemName::FileSaveasPicture, [this] { return _FileSaveasPicture_Action(); });
    addMenuHandler(MenuItemName::ShowMorePolarized, [this] { return _ShowMorePolarized_Action(); });
    addMenuHandler(MenuItemName::ShowMakeHarder, [this] { return _ShowMakeHarder_Action(); });
    addMenuHandler(MenuItemName::ShowMakeEasier, [this] { return _ShowMakeEasier_Action(); });
    addMenuHandler(MenuItemName::ShowSwingometer, [this] { return _ShowSwingometer_Action(); });
    addMenuHandler(MenuItemName::FilePageSetup, [this] { return _FilePageSetup_Action(); });
}

void ffield::Event_EnableMenuItems()
{
    for (const char* name : kEnabledItems)
        if (platform::MenuItem* item = menuItem(name))
            item->setEnabled(true);
}

void ffield::Event_Open()
{
    CaptionsOn = true;
    background = true;
    frmMain::instance().ffing = true;
}

void ffield::Event_Close()
{
    frmMain::instance().ffing = false;
}

void ffield::cGraph_Open()
{
    arrow = {0, -10, -50, 10, -50, 10, -15, 15, -15, 0, 0, -15, -15, -10, -15};
    arrowd = {0, -10, 50, 10, 50, 10, 15, 15, 15, 0, 0, -15, 15, -10, 15};
}

void ffield::PushButton1_Action()
{
    // Only hidden: the settings stay, and so does frmMain.ffing.
    hide();
}

void ffield::CheckBox1_Action()
{
    CaptionsOn = CheckBox1->value();
    cGraph->refresh();
}

void ffield::CheckBox2_Action()
{
    background = CheckBox2->value();
    cGraph->refresh();
}

void ffield::pbAddPlayer_Action()
{
    AddNewPlayer(DocumentView::ForceField, {}, this);
}

void ffield::ContextualMenu1_Open()
{
    const int32_t n = platform::CountFields(kContextualRows, ",");
    for (int32_t i = 1; i <= n; ++i)
        ContextualMenu1->addRow(platform::NthField(kContextualRows, ",", i));
}

void ffield::ContextualMenu1_Action(const std::string& item)
{
    frmMain& m = frmMain::instance();
    // The picked player is the press's; it lies within the document unless there is none.
    const bool picked = foundnum >= 0 && foundnum <= m.NumPlayer;
    if (item == "Create New Player") {
        AddNewPlayer(DocumentView::ForceField, {}, this);
    } else if (item == "Edit Nearest Player") {
        if (picked) {
            m.Current = foundnum;
            EditPlayerModally(
                PlayerEditorSetup::titled(kEditTitle, BoxFollowUp::CentreFromCorner).over(*this));
        }
    } else if (item == "Swap Sides") {
        if (Player* p = pickedForChange()) {
            p->Position = platform::ToInt32(-static_cast<double>(p->Position));
            m.FileChanged = true;
        }
    }
    m.DocumentChanged(DocumentView::ForceField);
}

namespace {

void transformAndRedraw(ShowTransform transform)
{
    frmMain& m = frmMain::instance();
    ApplyShowTransform(m, transform);
    m.DocumentChanged(DocumentView::ForceField, RepaintOrder::OwnViewFirst);
}

} // namespace

void ffield::_ShowMakeEasier_Action()
{
    transformAndRedraw(ShowTransform::MakeEasier);
}

void ffield::_ShowMakeHarder_Action()
{
    transformAndRedraw(ShowTransform::MakeHarder);
}

void ffield::_ShowMorePolarized_Action()
{
    transformAndRedraw(ShowTransform::MorePolarized);
}

void ffield::_ShowSwingometer_Action()
{
    ToggleSwingometer(frmMain::instance());
}

// --- The companion calls that reach this window ---

void ShowForceField()
{
    ffield& w = ffield::instance();
    w.show();
    w.refresh();
}

void RefreshForceFieldCanvas(bool now)
{
    if (!ffield::exists())
        return;
    platform::Canvas* canvas = ffield::instance().cGraph;
    if (now)
        canvas->refreshNow();
    else
        canvas->refresh();
}

void CloseForceField()
{
    if (ffield::exists())
        ffield::instance().close();
}
