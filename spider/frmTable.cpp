#include "spider/frmTable.h"
#include "app/MenuItemNames.h"

#include "app/Companions.h"
#include "app/ExportFiles.h"
#include "app/Menu.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/values.h"

std::string PercentText(int32_t value)
{
    return platform::Str(value) + "%";
}

void frmTable::Layout()
{
    setMenuBar(Menu::instance());
    setKind(platform::WindowKind::Document);
    setTitle("Data Table");
    setSize(622, 484);
    setResizable(true);
    setMinimumSize(64, 64);
    setMaximumSize(32000, 32000);
    setTitleBarButtons(true, true, true);
}

void frmTable::CreateControls()
{
    lbTable = addControl<platform::ListBox>("lbTable", {11, 14, 600, 429}, platform::LockAll);
    lbTable->setColumns({"Player", "Position", "Importance"}, "70%,15%,15%");
    lbTable->setGridLines(true);
    lbTable->setHelpTag("Double-click to edit values");
    lbTable->onSortColumn = [this](int32_t column) { return lbTable_SortColumn(column); };
    lbTable->onDoubleClick = [this] { lbTable_DoubleClick(); };
    PushButton1 = addControl<platform::PushButton>("PushButton1", {539, 455, 69, 20},
                                                   platform::LockRight | platform::LockBottom);
    PushButton1->setCaption("OK");
    PushButton1->onAction = [this] { PushButton1_Action(); };
    setDefaultButton(PushButton1);
}

void frmTable::AddMenuHandlers()
{
    addMenuHandler(MenuItemName::FileExportData, [this] { return _FileExportData_Action(); });
}

void frmTable::Event_EnableMenuItems()
{
    if (platform::MenuItem* item = menuItem(MenuItemName::FileExportData))
        item->setEnabled(true);
}

void frmTable::Event_Open()
{
    lbTable->setColumnAlignment(1, platform::Alignment::Right);
    lbTable->setColumnAlignment(2, platform::Alignment::Right);
    fillRows();
}

void frmTable::fillRows()
{
    const frmMain& m = frmMain::instance();
    // Read again after every change of the document: the selected row stays where it was.
    const int32_t selected = lbTable->listIndex();
    lbTable->deleteAllRows();
    for (int32_t i = 0; i <= m.NumPlayer; ++i) {
        lbTable->addRow(m.Player[i].Name);
        writeRow(i);
    }
    if (selected >= 0 && selected < lbTable->rowCount())
        lbTable->setListIndex(selected);
}

void frmTable::writeRow(int32_t row)
{
    const ::Player& p = frmMain::instance().Player[row];
    lbTable->setCell(row, 0, p.Name);
    lbTable->setCell(row, 1, PercentText(p.Position));
    lbTable->setCell(row, 2, PercentText(p.Importance));
}

bool frmTable::lbTable_SortColumn(int32_t)
{
    return true; // the rows stay in player order
}

void frmTable::lbTable_DoubleClick()
{
    frmMain& m = frmMain::instance();
    const int32_t row = lbTable->listIndex();
    // A double-click on no row, or on a row the document no longer has, edits nobody.
    if (row < 0 || row > m.NumPlayer)
        return;
    m.Current = row;
    EditPlayerModally(PlayerEditorSetup{}.over(*this));
    // Every row is read again: after a deletion none may name another player.
    m.DocumentChanged();
}

void frmTable::PushButton1_Action()
{
    close();
}

void RefreshTable()
{
    if (frmTable::exists())
        frmTable::instance().fillRows();
}

void frmTable::_FileExportData_Action()
{
    ExportPlayers([](const ::Player& p) -> std::vector<std::string> {
        return {p.Name, platform::Str(p.Position), platform::Str(p.Importance)};
    });
}
