// Editing the force field with the mouse: a press picks the nearest column, a contextual click
// pops up the menu, and the release either edits the picked player (a click) or turns the
// vertical distance from the press into a new score for it (a drag).

#include "forcefield/ffield.h"

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "platform/menu.h"
#include "platform/values.h"

#include <algorithm>
#include <cmath>

using platform::ToInt32;

namespace {

// A release that changes the score by less than this is a click.
constexpr double kClickThreshold = 5.0;

} // namespace

int32_t PickForceFieldColumn(int32_t x, int32_t xstep, int32_t numPlayer)
{
    // With a column width of 0 every axis lies on x = 10; a width of 1 keeps the pick inside
    // the document and still follows the pointer.
    const double step = std::max(1, xstep);
    const int32_t nearest = ToInt32(std::round((static_cast<int64_t>(x) - 10) / step));
    return std::min(numPlayer, std::max(1, nearest));
}

namespace {

// The drag's share-out, before the result is kept within the ranges below.
void shareOutScore(Player& p, double oldScore, float newScore)
{
    const double s = newScore;
    if (s == 0 || (p.Position < 0 && s >= 0)) {
        p.Importance = 0;
        return;
    }
    // A player without score, and one whose old and new scores lie on different sides (an
    // old score left by an earlier drawing, or a negative importance): the score is shared
    // out evenly, as the square root on both.
    if (oldScore == 0 || s / oldScore < 0) {
        if (std::abs(s) > kClickThreshold) {
            const double root = std::sqrt(std::abs(s));
            p.Importance = ToInt32(root);
            p.Position = ToInt32(s > 0 ? root : -root);
        }
        return;
    }
    const float f = static_cast<float>(std::pow(s / oldScore, 1.0 / 3.0));
    const bool wasNegative = p.Position < 0;
    p.Importance = std::max(0, ToInt32(static_cast<double>(p.Importance) * f));
    p.Position = ToInt32(static_cast<double>(p.Position) * f * f);
    if (p.Position == 0)
        p.Position = wasNegative ? -1 : 1;
}

} // namespace

void ApplyDraggedScore(Player& p, double oldScore, float newScore)
{
    shareOutScore(p, oldScore, newScore);
    // Within the ranges that the sliders and the player editor hold, however far the drag went:
    // the score then stops at what the largest position and importance give.
    p.Position = std::clamp(p.Position, kPositionLowest, kPositionHighest);
    p.Importance = std::clamp(p.Importance, kImportanceLowest, kImportanceHighest);
}

Player* ffield::pickedForChange()
{
    frmMain& m = frmMain::instance();
    if (foundnum < 0 || foundnum > std::min(m.NumPlayer, kPlayerLimit))
        return nullptr;
    Player& p = m.Player[foundnum];
    return IsChangeableInForceField(p) ? &p : nullptr;
}

bool ffield::cGraph_MouseDown(const platform::MouseEvent& e)
{
    const frmMain& m = frmMain::instance();
    // The columns, the scale and the scores of the document as it is now, at the canvas's size
    // now, as the paint draws them: the last paint may show a document that has changed since
    // (another one opened, a player deleted), or none yet.
    const Geometry geometry =
        workOutGeometry(ForceFieldTarget::Screen, static_cast<float>(cGraph->width()),
                        static_cast<float>(cGraph->height()));
    xstep = geometry.columnWidth;
    ymax = geometry.scale;
    foundorigy = static_cast<float>(e.y);
    foundnum = PickForceFieldColumn(e.x, xstep, m.NumPlayer);
    moving = true;
    if (e.contextual) {
        moving = false;
        ContextualMenu1->open();
    }
    return true;
}

void ffield::cGraph_MouseUp(const platform::MouseEvent& e)
{
    frmMain& m = frmMain::instance();
    // The picked player must still be one of the document's.
    if (!moving || m.NumPlayer < 1 || foundnum < 1 || foundnum > m.NumPlayer)
        return;
    const double H = cGraph->height();
    const double p = posn[foundnum];
    const double Y = e.y;
    const double top = H / 6;
    const double bottom = 5 * H / 6;
    float s = 0;
    if (p > 0) {
        const float g = static_cast<float>(foundorigy - (top + p / ymax));
        s = static_cast<float>(std::max(0.0, ymax * ((Y - g) - top)));
    } else {
        const float g = static_cast<float>(foundorigy - (bottom + p / ymax));
        s = static_cast<float>(ymax * ((Y - g) - bottom));
    }
    if (std::abs(static_cast<double>(s) - p) < kClickThreshold) {
        m.Current = foundnum;
        EditPlayerModally(
            PlayerEditorSetup::titled("Edit player information", BoxFollowUp::CentreFromCorner)
                .over(*this));
    } else if (Player* picked = pickedForChange()) {
        ApplyDraggedScore(*picked, p, s);
    } else {
        return; // a drag in an empty column: nothing the user sees has moved
    }
    m.FileChanged = true;
    // The view the user dragged in reaches the screen first; the spider plot follows.
    m.DocumentChanged(DocumentView::ForceField, RepaintOrder::OwnViewFirst);
}
