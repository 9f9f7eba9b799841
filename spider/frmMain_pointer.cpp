// Editing the spider plot with the mouse: Command-click creates a player at the pointer; a
// press picks the player whose box is drawn on top under the pointer, or over no box the
// nearest one in sight; a still click inside its box edits it, any other press and release
// moves it to the last drag point; a Shift release links; and the contextual menu creates or
// edits.

#include "app/Messages.h"
#include "app/frmDetails.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/system.h"
#include "platform/values.h"

#include <algorithm>
#include <cmath>
#include <utility>

using platform::ToInt32;

namespace {

constexpr float kSearchStart = 10000;
constexpr int64_t kClickThreshold = 7;
constexpr const char* kContextualRows = "Create New Player,Edit Nearest Player";

// A player's box centre or corner as the canvas shows it, in model units: stored, and moved as
// far as its box was moved onto the canvas.
std::pair<float, float> seenAt(const frmMain& w, const ::Player& p, int32_t x, int32_t y)
{
    const auto [dx, dy] = w.ShiftOnCanvas(p);
    return {static_cast<float>(static_cast<double>(x) + w.unplotx(dx)),
            static_cast<float>(static_cast<double>(y) + w.unploty(dy))};
}

// The player a press at the canvas pixel (x, y), model point (px, py), acts on: the one whose
// box is drawn on top there; over no box, of the players in sight the one whose box centre is
// nearest (on equal distances the lower index). Without any, 0.
int32_t pressedPlayer(const frmMain& w, int32_t x, int32_t y, float px, float py)
{
    if (const int32_t on = w.PlayerAt(x, y); on >= 0)
        return on;
    float best = kSearchStart;
    int32_t found = 0;
    for (int32_t i = 0; i <= std::min(w.NumPlayer, kPlayerLimit); ++i) {
        if (!w.IsInSight(i))
            continue;
        const ::Player& p = w.Player[i];
        const auto [cx, cy] = seenAt(w, p, p.xcentre, p.ycentre);
        const float d = w.Distance(cx, cy, px, py);
        if (d < best) {
            found = i;
            best = d;
        }
    }
    return found;
}

// The other end of a link made by a release at the canvas pixel (x, y), model point (rx, ry):
// the player whose box is drawn on top there; over no box, of the players in sight the one
// whose box corner is nearest. The best distance so far is kept as a whole number, so a later
// player wins only below that whole number.
int32_t linkedPlayer(const frmMain& w, int32_t x, int32_t y, float rx, float ry)
{
    if (const int32_t on = w.PlayerAt(x, y); on >= 0)
        return on;
    int32_t best = static_cast<int32_t>(kSearchStart);
    int32_t found = 0;
    for (int32_t i = 0; i <= std::min(w.NumPlayer, kPlayerLimit); ++i) {
        if (!w.IsInSight(i))
            continue;
        const ::Player& p = w.Player[i];
        const auto [cx, cy] = seenAt(w, p, p.x, p.y);
        const float d = w.Distance(cx, cy, rx, ry);
        if (static_cast<double>(d) < best) {
            found = i;
            best = ToInt32(d);
        }
    }
    return found;
}

// Appends a player centred at (cx, cy) and fills it in the player editor.
void createPlayerAt(frmMain& w, int32_t cx, int32_t cy, bool showMainCheckBox)
{
    w.AppendPlayer();
    w.Player[w.Current].xcentre = cx;
    w.Player[w.Current].ycentre = cy;
    PlayerEditorSetup setup =
        PlayerEditorSetup::titled("New Player", BoxFollowUp::CornerFromCentre);
    if (showMainCheckBox)
        setup.mainVisible = true;
    EditPlayerModally(setup);
    w.EnableViewButtons();
}

} // namespace

bool frmMain::Canvas1_MouseDown(const platform::MouseEvent& e)
{
    const int32_t px = unplotx(e.x);
    const int32_t py = unploty(e.y);
    if (!platform::Keyboard::AsyncCommandKey()) {
        Moving = true;
        dragx = 0;
        dragy = 0;
        closest = pressedPlayer(*this, e.x, e.y, static_cast<float>(px), static_cast<float>(py));
        clickx = px;
        clicky = py;
        if (e.contextual) {
            Moving = false;
            ContextualMenu1->open();
        } else if (closest >= 0 && closest <= NumPlayer) {
            // Drawn again with the held player's lines marked, so that the canvas keeps the
            // others apart until the release.
            Held = closest;
            Canvas1->refresh();
        }
    } else {
        Moving = false;
        if (NumPlayer < kPlayerLimit) {
            createPlayerAt(*this, px, py, false);
            // The editor took the button's release: the new box shows through this repaint.
            DocumentChanged();
        } else {
            platform::MsgBox(Messages::PlayerLimit);
        }
    }
    return true;
}

void frmMain::Canvas1_MouseDrag(const platform::MouseEvent& e)
{
    dragx = unplotx(e.x);
    dragy = unploty(e.y);
}

void frmMain::Canvas1_MouseUp(const platform::MouseEvent& e)
{
    const int32_t rx = unplotx(e.x);
    const int32_t ry = unploty(e.y);
    Held = -1;
    bool changed = false;
    if (NumPlayer > 0 && closest >= 0 && closest <= NumPlayer) {
        if (platform::Keyboard::AsyncShiftKey()) {
            Linker = linkedPlayer(*this, e.x, e.y, static_cast<float>(rx), static_cast<float>(ry));
            frmLinks::instance().showModal(*this);
            FileChanged = true;
            changed = true;
        } else {
            ::Player& p = Player[closest];
            // A click ends on the pressed player's box, where it is drawn on top.
            const bool inside = PlayerAt(e.x, e.y) == closest;
            const int64_t moved = std::max(std::llabs(static_cast<int64_t>(clickx) - dragx),
                                           std::llabs(static_cast<int64_t>(clicky) - dragy));
            if (inside && moved < kClickThreshold) {
                Current = closest;
                EditPlayerModally(PlayerEditorSetup::titled(
                    "Edit player information", BoxFollowUp::CentreFromCornerInModelUnits));
                changed = true;
            } else if (Moving) {
                p.xcentre = dragx;
                p.ycentre = dragy;
                p.x = ToInt32(static_cast<double>(p.xcentre) - unplotx(ToInt32(p.Width / 2.0)));
                p.y = ToInt32(static_cast<double>(p.ycentre) - unploty(ToInt32(p.Height / 2.0)));
                // Stored where it is seen: whole on the canvas, however far the pointer went.
                KeepBoxOnCanvas(p);
                FileChanged = true;
                changed = true;
            }
        }
    }
    if (changed)
        DocumentChanged();
    else
        refresh();
}

bool frmMain::Canvas1_KeyDown(const std::string&)
{
    return false;
}

void frmMain::ContextualMenu1_Open()
{
    for (int32_t n = 1; n <= platform::CountFields(kContextualRows, ","); ++n)
        ContextualMenu1->addRow(platform::NthField(kContextualRows, ",", n));
}

void frmMain::ContextualMenu1_Action(const std::string& item)
{
    if (item == "Create New Player") {
        if (NumPlayer < kPlayerLimit)
            createPlayerAt(*this, clickx, clicky, true);
        else
            platform::MsgBox(Messages::PlayerLimit);
    } else if (item == "Edit Nearest Player") {
        // Needs a player to edit: there is none without a document.
        if (NumPlayer < 0 || closest < 0 || closest > NumPlayer)
            return;
        Current = closest;
        EditPlayerModally(
            PlayerEditorSetup::titled("Edit player information", BoxFollowUp::CentreFromCorner));
    } else {
        return;
    }
    // The menu took the button's release: the result shows through this repaint.
    DocumentChanged();
}
