#pragma once

// The sliders window: one row per player but the central issue, ordered by position, 25 rows
// to a page on up to two pages. "Close" writes the moved sliders' values back; any other close
// of a window holding edits not yet kept (its close box, the window manager, quitting) asks
// whether to keep them, discard them or go back to the window.

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
    /// Asks about edits not yet kept: "Keep" writes them back as "Close" does, "Discard" drops
    /// them, and "Cancel" (or backing out of the question) keeps the window open.
    bool Event_CancelClose() override;

    /// A moved slider holds a position that its player, still in the document, does not.
    bool hasUnkeptEdits() const;
    /// Closes the window without a question, dropping what it holds.
    void closeDiscardingEdits();

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
    int32_t builtRows() const;
    /// Writes the moved rows' values back; returns whether any player changed.
    bool keepEdits();

    int32_t mRows = 0;
    /// mPlayer[i]: the identity of the player row i was made for; "Close" writes to that player
    /// wherever it now stands, and to nobody once it is gone.
    std::array<uint64_t, kPlayerLimit + 1> mPlayer{};
    /// Rows whose slider or field the user changed: only these are written back.
    std::array<bool, kPlayerLimit + 1> mMoved{};
    bool mDiscarding = false;
};
