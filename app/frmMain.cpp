#include "app/frmMain.h"
#include "app/MenuItemNames.h"

#include "app/Menu.h"

#include "platform/database.h"
#include "platform/menu.h"

using platform::Alignment;
using platform::LockBottom;
using platform::LockLeft;
using platform::LockRight;
using platform::LockTop;

frmMain::frmMain() = default;
frmMain::~frmMain() = default;

void frmMain::Layout()
{
    setMenuBar(Menu::instance());
    setKind(platform::WindowKind::Document);
    setSize(772, 624);
    // The smallest window whose view buttons and legend still lie apart (see PlaceLegend).
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setMaximumSize(32000, 32000);
    setResizable(true);
    setTitleBarButtons(true, true, true);
    setTitle("Varnholt");
}

void frmMain::CreateControls()
{
    Canvas1 = addControl<platform::Canvas>("Canvas1", {9, 7, 756, 582},
                                           LockLeft | LockTop | LockRight | LockBottom);
    Canvas1->setAcceptsFocus(true);
    Canvas1->setHelpTag(
        "Click to drag, shift click to make indirect links and ctrl-click to create "
        "or edit players. Click in player to edit.");
    Canvas1->onKeyDown = [this](const std::string& key) { return Canvas1_KeyDown(key); };
    Canvas1->onMouseUp = [this](const platform::MouseEvent& e) { Canvas1_MouseUp(e); };
    Canvas1->onMouseDrag = [this](const platform::MouseEvent& e) { Canvas1_MouseDrag(e); };
    Canvas1->onMouseDown = [this](const platform::MouseEvent& e) { return Canvas1_MouseDown(e); };
    Canvas1->onPaint = [this](platform::Graphics& g) { Canvas1_Paint(g); };

    auto viewButton = [this](const char* name, platform::Rect rect, const char* caption) {
        platform::PushButton* button =
            addControl<platform::PushButton>(name, rect, LockRight | LockBottom);
        button->setCaption(caption);
        button->setEnabled(false);
        button->setTextSize(12);
        return button;
    };

    pbMove = viewButton("pbMove", {683, 597, 69, 20}, "Graph");
    setDefaultButton(pbMove);
    pbMove->onAction = [this] { pbMove_Action(); };

    PushButton1 = viewButton("PushButton1", {603, 597, 69, 20}, "Table");
    PushButton1->onAction = [this] { PushButton1_Action(); };

    Canvas2 = addControl<platform::Canvas>("Canvas2", {52, 596, 201, 15}, LockLeft | LockBottom);
    Canvas2->setAcceptsFocus(false);
    Canvas2->onPaint = [this](platform::Graphics& g) { Canvas2_Paint(g); };

    auto label = [this](const char* name, platform::Rect rect, const char* text, Alignment align,
                        double size) {
        platform::StaticText* st = addControl<platform::StaticText>(name, rect, LockBottom);
        st->setText(text);
        st->setAlignment(align);
        st->setTextColor(platform::RGB(0, 0, 0));
        st->setTextSize(size);
        return st;
    };
    StaticText1 = label("StaticText1", {15, 594, 36, 19}, "Enemies", Alignment::Right, 9);
    StaticText2 = label("StaticText2", {255, 594, 36, 19}, "Allies", Alignment::Left, 9);

    ContextualMenu1 = addContextualMenu("ContextualMenu1");
    ContextualMenu1->onAction = [this](const std::string& item) { ContextualMenu1_Action(item); };
    ContextualMenu1_Open();

    PushButton2 = viewButton("PushButton2", {521, 597, 69, 20}, "Sliders");
    PushButton2->onAction = [this] { PushButton2_Action(); };

    PushButton3 = viewButton("PushButton3", {422, 597, 87, 20}, "Force Field");
    PushButton3->onAction = [this] { PushButton3_Action(); };

    stSwing = label("stSwing", {288, 594, 43, 20}, "Untitled", Alignment::Left, 10);
}

void frmMain::PlaceLegend()
{
    // The legend and its labels end at x 331; the view buttons take the 350 pixels left of
    // the window's right edge. Where both no longer fit in the bottom row, the legend goes up
    // a row, above the buttons, and the canvas gives that row up.
    constexpr int32_t kLegendRight = 331;
    constexpr int32_t kButtonsWidth = 350;
    constexpr int32_t kGap = 8;
    constexpr int32_t kRow = 26;
    const bool above = width() < kLegendRight + kGap + kButtonsWidth;
    if (above == mLegendAboveButtons)
        return;
    mLegendAboveButtons = above;
    const int32_t W = width();
    const int32_t H = height();
    const int32_t up = above ? kRow : 0;
    Canvas1->setPlace({9, 7, W - 16, H - 42 - up});
    Canvas2->setPlace({52, H - 28 - up, 201, 15});
    StaticText1->setPlace({15, H - 30 - up, 36, 19});
    StaticText2->setPlace({255, H - 30 - up, 36, 19});
    stSwing->setPlace({288, H - 30 - up, 43, 20});
}

void frmMain::AddMenuHandlers()
{
    addMenuHandler(MenuItemName::FileSaveSet, [this] { return _FileSaveSet_Action(); });
    addMenuHandler(MenuItemName::FileOpen, [this] { return _FileOpen_Action(); });
    addMenuHandler(MenuItemName::FileNew, [this] { return _FileNew_Action(); });
    addMenuHandler(MenuItemName::FilePrint, [this] { return _FilePrint_Action(); });
    addMenuHandler(MenuItemName::FileSave, [this] { return _FileSave_Action(); });
    addMenuHandler(MenuItemName::FileExportData, [this] { return _FileExportData_Action(); });
    addMenuHandler(MenuItemName::FilePageSetup, [this] { return _FilePageSetup_Action(); });
    addMenuHandler(MenuItemName::FileSaveasPicture, [this] { return _FileSaveasPicture_Action(); });
    addMenuHandler(MenuItemName::ShowSwingometer, [this] { return _ShowSwingometer_Action(); });
    addMenuHandler(MenuItemName::ShowMakeHarder, [this] { return _ShowMakeHarder_Action(); });
    addMenuHandler(MenuItemName::ShowMorePolarized, [this] { return _ShowMorePolarized_Action(); });
    addMenuHandler(MenuItemName::ShowMakeEasier, [this] { return _ShowMakeEasier_Action(); });
}

void frmMain::Event_EnableMenuItems()
{
    // Whatever the document holds: also with only the central issue and nothing unsaved.
    for (const char* name :
         {MenuItemName::FileOpen, MenuItemName::FileSaveSet, MenuItemName::FileNew,
          MenuItemName::FilePrint, MenuItemName::FileSave, MenuItemName::FileExportData,
          MenuItemName::FilePageSetup, MenuItemName::FileSaveasPicture,
          MenuItemName::ShowSwingometer, MenuItemName::ShowMakeHarder, MenuItemName::ShowMakeEasier,
          MenuItemName::ShowMorePolarized})
        if (platform::MenuItem* item = menuItem(name))
            item->setEnabled(true);
}

void frmMain::EnableViewButtons()
{
    PushButton3->setEnabled(true);
    PushButton2->setEnabled(true);
    PushButton1->setEnabled(true);
    pbMove->setEnabled(true);
}

void frmMain::SetTitleForFile(const std::string& fileName)
{
    setTitle(fileName.empty() ? std::string("Varnholt") : "Varnholt - " + fileName);
}
