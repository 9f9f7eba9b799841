#pragma once

// The force field analysis: one arrow per known player with a non-zero position, above the
// central issue pointing at it for supporters and below it for opponents, its tip the nearer
// the band the larger the player's score (Position x Importance). A vertical drag in a
// player's column gives the player a new score, split over its position and importance.

#include "app/Player.h"

#include "platform/controls.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <string>

namespace platform {
class Graphics;
}

/// What the force field diagram is drawn on.
/// - Screen: the canvas; the column width and the scale are kept in `xstep` and `ymax` for
///   the mouse, a scale below 3.0 becomes 5.0, the colour gradient (or white) is painted
///   behind, the band is filled white, arrow outlines are white over the gradient, a score of
///   0 goes above or below by the sign of the position, and the swing-o-meter is repainted
///   while it is switched on.
/// - Printed: the page and the picture; the column width and the scale are working values
///   (the screen's stay as the last paint left them), the scale has no lower bound (0 puts
///   every tip on its base line), nothing is painted behind, the band is outlined only, every
///   outline is black and a score of 0 is drawn below the band.
enum class ForceFieldTarget { Screen, Printed };

class ffield : public platform::WindowClass<ffield> {
public:
    /// Draw each player's name beside its arrow ("Show captions").
    bool CaptionsOn = false;
    /// The arrows as seven (x, y) vertices in elements 1..14, offsets from the tip; element 0
    /// is not a vertex. `arrow` points down, `arrowd` up; `arrow2` is the last one drawn.
    std::array<int32_t, 15> arrow2{};
    std::array<int32_t, 15> arrow{};
    std::array<int32_t, 15> arrowd{};
    /// posn[i]: player i's score as the last drawing of any kind, or the last press, worked it
    /// out; 0 for a player that is not drawn.
    std::array<float, kPlayerLimit + 1> posn{};
    /// The column width in pixels of the last paint on screen.
    int32_t xstep = 0;
    /// The player whose column was nearest the last press.
    int32_t foundnum = 0;
    /// y of the last press, in canvas pixels.
    float foundorigy = 0;
    /// Score units per pixel of the last paint on screen; 3.0 or more once painted.
    float ymax = 0;
    /// Paint the colour gradient behind the diagram ("Colour background").
    bool background = false;
    /// The last press may change a player on its release (false after a contextual click).
    bool moving = false;

    platform::Canvas* cGraph = nullptr;
    platform::PushButton* PushButton1 = nullptr; ///< "Close"
    platform::CheckBox* CheckBox1 = nullptr;     ///< "Show captions"
    platform::ContextualMenu* ContextualMenu1 = nullptr;
    platform::PushButton* pbAddPlayer = nullptr; ///< "Add Player"
    platform::CheckBox* CheckBox2 = nullptr;     ///< "Colour background"

    // --- Control events ---
    bool cGraph_MouseDown(const platform::MouseEvent& e);
    void cGraph_Paint(platform::Graphics& g);
    void cGraph_Open();
    void cGraph_MouseUp(const platform::MouseEvent& e);
    void PushButton1_Action();
    void CheckBox1_Action();
    void ContextualMenu1_Action(const std::string& item);
    void ContextualMenu1_Open();
    void pbAddPlayer_Action();
    void CheckBox2_Action();

    // --- Window events ---
    void Event_EnableMenuItems() override;
    void Event_Open() override;
    void Event_Close() override;

    // --- Menu handlers ---
    void _FilePrint_Action();
    void _FileSaveasPicture_Action();
    void _ShowMorePolarized_Action();
    void _ShowMakeHarder_Action();
    void _ShowMakeEasier_Action();
    void _ShowSwingometer_Action();
    void _FilePageSetup_Action();

    /// The force field diagram of the open document on `g`, W by H pixels. Every drawing
    /// writes the scores into `posn` and the last arrow into `arrow2`; only the screen's writes
    /// `xstep` and `ymax`.
    void DrawDiagram(platform::Graphics& g, ForceFieldTarget target, float W, float H);

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

private:
    friend class platform::WindowClass<ffield>;
    ffield() = default;

    /// The column width and scale of a drawing W by H of the document as it is: writes `posn`
    /// for every player, 0 for those not drawn.
    struct Geometry {
        int32_t columnWidth = 0;
        float scale = 0;
    };
    Geometry workOutGeometry(ForceFieldTarget target, float W, float H);

    /// The player of the last press's column when a drag or a swap may change it (see
    /// IsChangeableInForceField), else null; also null once that index has left the document.
    Player* pickedForChange();
};

/// Whether player i (1..NumPlayer) gets an arrow: its stance is known and not neutral.
bool IsDrawnInForceField(const Player& p);

/// Whether a drag or "Swap Sides" in the player's column may change it: the force field draws
/// it, or its stance is known and a drag gives it an arrow (position 0). A player of unknown
/// stance has a column with nothing in it, so nothing there may change it unseen; a click
/// still edits it, since the editor shows whom it edits.
bool IsChangeableInForceField(const Player& p);

/// The force field score, Position x Importance, worked out in 64 bits.
int64_t ForceFieldScore(const Player& p);

/// The column width of a drawing `width` pixels wide: a column for every player and two to
/// spare. A width below NumPlayer + 2 pixels gives 0.
int32_t ForceFieldColumnWidth(double width, int32_t numPlayer);

/// The player whose column axis (x = xstep * i + 10) is nearest `x`, limited to
/// 1..numPlayer (0 while only the central issue exists). A column width of 0, where every
/// axis lies on x = 10, is taken as 1.
int32_t PickForceFieldColumn(int32_t x, int32_t xstep, int32_t numPlayer);

/// A drag in the force field turned the player's score from `oldScore` into `newScore`: the
/// new score is split over Position and Importance (the position takes two thirds of the
/// change on a logarithmic scale, the importance one third), and neither is limited to its
/// nominal range. Crossing the zero line leaves the position and sets the importance to 0.
void ApplyDraggedScore(Player& p, double oldScore, float newScore);
