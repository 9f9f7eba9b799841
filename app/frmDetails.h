#pragma once

// The player editor: a modal dialog that names and places frmMain.Player(frmMain.Current),
// deletes it, or walks its links one link editor at a time.

#include "platform/controls.h"
#include "platform/window.h"

#include <cstdint>
#include <optional>
#include <string>

class frmDetails : public platform::WindowClass<frmDetails> {
public:
    platform::EditField* efName = nullptr;
    platform::EditField* efSub = nullptr;
    platform::EditField* efPosn = nullptr;
    platform::EditField* efImp = nullptr;
    platform::GroupBox* GroupBox1 = nullptr;
    platform::PushButton* PushButton1 = nullptr; ///< "OK"
    platform::StaticText* StaticText1 = nullptr;
    platform::Slider* Slider1 = nullptr; ///< position
    platform::Slider* Slider2 = nullptr; ///< importance
    platform::StaticText* StaticText3 = nullptr;
    platform::CheckBox* cbMain = nullptr;
    platform::PushButton* PushButton2 = nullptr; ///< "Delete"
    platform::PushButton* PushButton3 = nullptr; ///< "Links"
    platform::StaticText* StaticText4 = nullptr;
    platform::CheckBox* cbUnknown = nullptr;
    platform::CheckBox* cbAveColour = nullptr;
    platform::StaticText* StaticText5 = nullptr;
    platform::EditField* efFFScore = nullptr;
    platform::EditField* efKeyMsg = nullptr;

    void Event_Open() override;
    void Slider1_ValueChanged();
    void Slider2_ValueChanged();
    void efPosn_TextChange();
    void efImp_TextChange();
    void PushButton1_Action();
    void PushButton2_Action();
    void PushButton3_Action();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<frmDetails>;
    frmDetails() = default;
    void showScore();
};

/// How a caller ties the centre and the corner together after the editor has closed.
enum class BoxFollowUp {
    CentreFromCorner,             ///< edits of a known place, the central issue, loading
    CentreFromCornerInModelUnits, ///< a click edit on the spider plot or the graph
    CornerFromCentre,             ///< every creation: the centre was placed first
};

/// What a caller sets on the editor between referring to it and showing it.
struct PlayerEditorSetup {
    static PlayerEditorSetup titled(std::string title, BoxFollowUp followUp)
    {
        PlayerEditorSetup s;
        s.title = std::move(title);
        s.followUp = followUp;
        return s;
    }
    /// The same set-up, for an editor that belongs to `window`.
    PlayerEditorSetup over(platform::Window& window) const
    {
        PlayerEditorSetup s = *this;
        s.owner = &window;
        return s;
    }

    std::optional<std::string> title; ///< nothing keeps "New Player"
    std::optional<bool> mainVisible;  ///< "Linked to main player" shown or hidden
    std::optional<int32_t> position;  ///< presets of the two sliders
    std::optional<int32_t> importance;
    BoxFollowUp followUp = BoxFollowUp::CentreFromCorner;
    /// The window the editor belongs to, which it opens over; the main window when none.
    platform::Window* owner = nullptr;
};

/// Modal editing as every caller does it, on frmMain.Current (and frmMain.CurrentIsNew) as the
/// caller has set them: refer to the editor (its open event loads the player), apply the
/// caller's set-up, show it modally, then apply the box-size rule with the follow-up and mark
/// the document changed, whichever way it closed (OK, Delete, Escape or its close box).
/// Redrawing is left to the caller.
void EditPlayerModally(const PlayerEditorSetup& setup);
