// The graph window as a class: its layout and controls, its events, the "Close" button, the
// two check boxes and its menu binding.

#include "graph/graph.h"
#include "app/MenuItemNames.h"

#include "app/Companions.h"
#include "app/Menu.h"
#include "app/frmMain.h"

#include "platform/menu.h"

using platform::LockAll;
using platform::LockBottom;
using platform::LockLeft;
using platform::LockRight;

namespace {

// A document of this many players besides the central issue opens the graph without captions.
constexpr int32_t kCaptionsOffFrom = 16;

} // namespace

void graph::Layout()
{
    setMenuBar(Menu::instance());
    setKind(platform::WindowKind::Document);
    setTitle("Position vs. Importance");
    setSize(725, 411);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setMaximumSize(32000, 32000);
    setResizable(true);
    setTitleBarButtons(true, true, true);
}

void graph::CreateControls()
{
    cGraph = addControl<platform::Canvas>("cGraph", {24, 14, 677, 363}, LockAll);
    cGraph->setEraseBackground(true);
    cGraph->setAcceptsFocus(false);
    cGraph->onMouseDown = [this](const platform::MouseEvent& e) { return cGraph_MouseDown(e); };
    cGraph->onPaint = [this](platform::Graphics& g) { cGraph_Paint(g); };
    cGraph->onMouseDrag = [this](const platform::MouseEvent& e) { cGraph_MouseDrag(e); };
    cGraph->onMouseUp = [this](const platform::MouseEvent& e) { cGraph_MouseUp(e); };

    PushButton1 =
        addControl<platform::PushButton>("PushButton1", {636, 383, 69, 20}, LockRight | LockBottom);
    PushButton1->setCaption("Close");
    PushButton1->setTextSize(12);
    setDefaultButton(PushButton1);
    PushButton1->onAction = [this] { PushButton1_Action(); };

    StaticText1 =
        addControl<platform::StaticText>("StaticText1", {28, 383, 204, 20}, LockLeft | LockBottom);
    StaticText1->setText("Position: enemy -> ally");
    StaticText1->setAlignment(platform::Alignment::Left);
    StaticText1->setTextColor(platform::RGB(0, 0, 0));
    StaticText1->setTextSize(12);

    // The ticks are set before the handlers are bound, so that setting them runs nothing.
    CheckBox1 =
        addControl<platform::CheckBox>("CheckBox1", {491, 383, 111, 20}, LockRight | LockBottom);
    CheckBox1->setCaption("Show captions");
    CheckBox1->setValue(true);
    CheckBox1->setTextSize(12);
    CheckBox1->onAction = [this] { CheckBox1_Action(); };

    CheckBox2 =
        addControl<platform::CheckBox>("CheckBox2", {326, 382, 153, 20}, LockRight | LockBottom);
    CheckBox2->setCaption("Colour background");
    CheckBox2->setValue(true);
    CheckBox2->onAction = [this] { CheckBox2_Action(); };

    ContextualMenu1 = addContextualMenu("ContextualMenu1");
    ContextualMenu1->onAction = [this](const std::string& item) { ContextualMenu1_Action(item); };
    ContextualMenu1_Open();
}

void graph::AddMenuHandlers()
{
    addMenuHandler(MenuItemName::FilePrint, [this] { return _FilePrint_Action(); });
    // Matched to the item FileSaveasPicture regardless of letter case.
    addMenuHandler(MenuItemName::FileSaveasPicture, [this] { return _FileSaveaspicture_Action(); });
    addMenuHandler(MenuItemName::FilePageSetup, [this] { return _FilePageSetup_Action(); });
    addMenuHandler(MenuItemName::ShowMakeEasier, [this] { return _ShowMakeEasier_Action(); });
    addMenuHandler(MenuItemName::ShowMakeHarder, [this] { return _ShowMakeHarder_Action(); });
    addMenuHandler(MenuItemName::ShowSwingometer, [this] { return _ShowSwingometer_Action(); });
    addMenuHandler(MenuItemName::ShowMorePolarized, [this] { return _ShowMorePolarized_Action(); });
}

void graph::Event_Open()
{
    // First scales, replaced by the first paint.
    xscale = static_cast<float>(cGraph->width() / 200.0);
    yscale = static_cast<float>(cGraph->height() / 100.0);
    p = platform::PrinterSetup();
    ColourBkgd = true;
    if (frmMain::instance().NumPlayer < kCaptionsOffFrom) {
        CaptionsOn = true;
    } else {
        CaptionsOn = false;
        CheckBox1->setValue(false);
    }
}

void graph::Event_Activate()
{
    // How edits made in the other windows reach the graph.
    cGraph->refresh();
}

void graph::Event_EnableMenuItems()
{
    for (const char* name :
         {MenuItemName::FilePrint, MenuItemName::FileSaveasPicture, MenuItemName::FilePageSetup})
        if (platform::MenuItem* item = menuItem(name))
            item->setEnabled(true);
}

void graph::PushButton1_Action()
{
    // Only hidden: the instance keeps its page setup and settings.
    hide();
}

void graph::CheckBox1_Action()
{
    CaptionsOn = CheckBox1->value();
    cGraph->refresh();
}

void graph::CheckBox2_Action()
{
    // The box and the flag start alike and each click toggles both.
    ColourBkgd = !ColourBkgd;
    refresh();
}

// --- The companion calls that reach this window ---

void ShowGraph()
{
    graph& w = graph::instance();
    w.show();
    w.refresh();
}

void RefreshGraphCanvas(bool now)
{
    if (!graph::exists())
        return;
    platform::Canvas* canvas = graph::instance().cGraph;
    if (now)
        canvas->refreshNow();
    else
        canvas->refresh();
}
