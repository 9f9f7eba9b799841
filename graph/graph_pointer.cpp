// Editing the graph with the mouse: a press picks the player whose dot is nearest, a still
// click edits it, a drag moves it to the release point (its position and importance at once,
// within their ranges),
// and a contextual press offers to create or edit a player. The pointer state lives in
// frmMain, in graph units.

#include "graph/graph.h"

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "forcefield/AddNewPlayer.h"

#include "platform/menu.h"
#include "platform/values.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr const char* kContextualRows = "Create New Player,Edit Nearest Player";
constexpr const char* kEditTitle = "Edit player information";

// Whether `index` names a player of the document (the central issue included).
bool inDocument(const frmMain& m, int32_t index)
{
    return index >= 0 && index <= std::min(m.NumPlayer, kPlayerLimit);
}

// Whether the last press picked a player by its dot, and that player is still one of the
// document's (a deletion since the press). A press that found no dot picked nobody (0).
bool pickedADot(const frmMain& m)
{
    return m.closest >= 1 && inDocument(m, m.closest);
}

} // namespace

bool graph::cGraph_MouseDown(const platform::MouseEvent& e)
{
    frmMain& m = frmMain::instance();
    // The scales and the dots of the document as it is now, at the canvas's size now, as the
    // paint draws them: the last paint may show a document that has changed since, or none.
    const GraphMapping map = GraphMapping::screen(cGraph->width(), cGraph->height());
    xscale = map.xscale;
    yscale = map.yscale;
    layOutDots(map);
    m.Moving = true;
    m.dragx = 0;
    m.dragy = 0;
    // The dot nearest the press, however far: equal distances go to the lower index. A player
    // without a dot (of unknown stance) is never picked; with no dot at all nobody is (0).
    float best = std::numeric_limits<float>::infinity();
    int32_t found = 0;
    const int32_t last = std::min(m.NumPlayer, kPlayerLimit);
    for (int32_t i = 1; i <= last; ++i) {
        if (!mDot[i])
            continue;
        const float d = m.Distance(static_cast<float>(xplot[i]), static_cast<float>(yplot[i]),
                                   static_cast<float>(e.x), static_cast<float>(e.y));
        if (d < best) {
            found = i;
            best = d;
        }
    }
    m.closest = found;
    m.clickx = map.unplotx(e.x);
    m.clicky = map.unploty(e.y);
    if (e.contextual) {
        m.Moving = false;
        ContextualMenu1->open();
    }
    return true;
}

void graph::cGraph_MouseDrag(const platform::MouseEvent& e)
{
    frmMain& m = frmMain::instance();
    const GraphMapping map = mapping();
    m.dragx = map.unplotx(e.x);
    m.dragy = map.unploty(e.y);
}

void graph::cGraph_MouseUp(const platform::MouseEvent& e)
{
    frmMain& m = frmMain::instance();
    const GraphMapping map = mapping();
    const int32_t gx = map.unplotx(e.x);
    const int32_t gy = map.unploty(e.y);
    // Only a player picked by its dot edits or moves.
    if (pickedADot(m)) {
        // A click is a release whose last drag point is the press point in graph units.
        const double moved =
            std::max(std::abs(static_cast<double>(m.clickx) - static_cast<double>(m.dragx)),
                     std::abs(static_cast<double>(m.clicky) - static_cast<double>(m.dragy)));
        if (moved < 1) {
            m.Current = m.closest;
            EditPlayerModally(
                PlayerEditorSetup::titled(kEditTitle, BoxFollowUp::CentreFromCornerInModelUnits)
                    .over(*this));
        } else if (m.Moving) {
            // The release point, kept within the axes: a release past the canvas's edge stores
            // the end of the scale there, where the dot is drawn.
            ::Player& pl = m.Player[m.closest];
            pl.Position = std::clamp(gx, kPositionLowest, kPositionHighest);
            pl.Importance = std::clamp(gy, kImportanceLowest, kImportanceHighest);
            m.FileChanged = true;
        }
    }
    m.DocumentChanged(DocumentView::Graph, RepaintOrder::OwnViewFirst);
}

void graph::ContextualMenu1_Open()
{
    for (int32_t n = 1; n <= platform::CountFields(kContextualRows, ","); ++n)
        ContextualMenu1->addRow(platform::NthField(kContextualRows, ",", n));
}

void graph::ContextualMenu1_Action(const std::string& item)
{
    frmMain& m = frmMain::instance();
    if (item == "Create New Player") {
        // Without a document there is no central issue to add a player to.
        if (m.NumPlayer >= 0)
            AddNewPlayer(DocumentView::Graph, NewPlayerPresets{m.clickx, m.clicky}, this);
    } else if (item == "Edit Nearest Player") {
        // The player of the dot the press picked, as a still click edits it; with only the
        // central issue in the document, the central issue. With players but no dot drawn
        // (all of unknown stance) nobody: the graph never draws the central issue.
        if (pickedADot(m) || (m.NumPlayer == 0 && m.closest == 0)) {
            m.Current = m.closest;
            EditPlayerModally(
                PlayerEditorSetup::titled(kEditTitle, BoxFollowUp::CentreFromCorner).over(*this));
        }
    }
    // Whatever was chosen, also after the limit message.
    m.DocumentChanged(DocumentView::Graph);
}
