#pragma once

// The sliders window: one row per player but the central issue, ordered by position, 25 rows
// to a page on up to two pages. "Close" writes the moved sliders' values back; the close box
// discards them.

#include "app/Player.h"

#include "platform/controls.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <vector>

class wSliders : public platform::WindowClass<wSliders> {
public:
    static constexpr int32_t kRowsPerPage = 25;

    platform::PushButton* PushButton2 = nullptr; ///< "Close"
    platform::StaticText* StaticText1 = nullptr; ///< template of the row labels
    platform::Slider* Slider1 = nullptr;         ///< template of the row sliders
    platform::EditField* EditField1 = nullptr;   ///< template of the row fields
    platform::ScrollBar* ScrollBar1 = nullptr;   ///< the pager

    std::array<platform::StaticText*, kPlayerLimit + 1> st{};
    std::array<platform::Slider*, kPlayerLimit + 1> slide{};
    std::array<platform::EditField*, kPlayerLimit + 1> ef{};
    std::array<int32_t, kPlayerLimit + 1> order{};
    std::vector<int32_t> sorted;
    std::array<bool, kPlayerLimit + 1> used{};
    bool changed = false;
    bool opening = false;
    bool done2ndpage = false;

    void Event_Open() override;
    void Slider1_ValueChanged(int32_t index);
    void EditField1_TextChange(int32_t index);
    void ScrollBar1_ValueChanged();
    void PushButton2_Action();

    /// The number of rows the window was opened with.
    int32_t rowCount() const { return mRows; }

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<wSliders>;
    wSliders() = default;
    void buildRow(int32_t i);
    void showRows(int32_t first, int32_t last, bool visible);

    int32_t mRows = 0;
    /// mPlayer[i]: the identity of the player row i was made for; "Close" writes to that player
    /// wherever it now stands, and to nobody once it is gone.
    std::array<uint64_t, kPlayerLimit + 1> mPlayer{};
    /// Rows whose slider or field the user changed: only these are written back.
    std::array<bool, kPlayerLimit + 1> mMoved{};
};
