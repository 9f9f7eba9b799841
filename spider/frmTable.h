#pragma once

// The data table: every player's name, position and importance, the central issue first. A
// double-click edits a player; File > Export Data writes the table export file while the table
// is in front.

#include "platform/controls.h"
#include "platform/window.h"

#include <cstdint>
#include <string>

class frmTable : public platform::WindowClass<frmTable> {
public:
    platform::ListBox* lbTable = nullptr;
    platform::PushButton* PushButton1 = nullptr; ///< "OK"

    void Event_Open() override;
    void Event_EnableMenuItems() override;
    bool lbTable_SortColumn(int32_t column);
    void lbTable_DoubleClick();
    void PushButton1_Action();
    void _FileExportData_Action();

    /// Reads every row from the document again.
    void fillRows();

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

private:
    friend class platform::WindowClass<frmTable>;
    frmTable() = default;
    void writeRow(int32_t row);
};

/// A position or importance as the table shows it: "-40%".
std::string PercentText(int32_t value);
