// How a change of the document reaches the views: every command that changes it ends here, so
// that no view goes on showing, or picking from, a document that is no longer there.

#include "app/frmMain.h"

#include "app/Companions.h"

#include <algorithm>
#include <utility>

void frmMain::DocumentChanged(DocumentView own, RepaintOrder order)
{
    // Painted first, the command's own view is painted at once: a repaint asked for later
    // would wait behind the others already asked for.
    const bool now = order == RepaintOrder::OwnViewFirst;
    auto repaintOwn = [own, now] {
        switch (own) {
        case DocumentView::ForceField:
            RefreshForceFieldCanvas(now);
            break;
        case DocumentView::Graph:
            RefreshGraphCanvas(now);
            break;
        case DocumentView::SpiderPlot:
            break;
        }
    };
    if (order == RepaintOrder::OwnViewFirst)
        repaintOwn();
    Canvas1->refresh();
    Canvas2->refresh();
    RefreshSwingometer(true);
    if (order == RepaintOrder::SpiderPlotFirst)
        repaintOwn();
    // The views that did not make the change follow it too.
    if (own != DocumentView::ForceField)
        RefreshForceFieldCanvas();
    if (own != DocumentView::Graph)
        RefreshGraphCanvas();
    RefreshTable();
}

void frmMain::ReplaceDocument(Document fresh)
{
    static_cast<Document&>(*this) = std::move(fresh);
}

void frmMain::DocumentReplaced()
{
    for (int32_t i = 0; i <= NumPlayer; ++i)
        Player[i].Identity = ++mLastIdentity;
    RebuildSliders();
    DocumentChanged();
}

void frmMain::AppendPlayer()
{
    NumPlayer += 1;
    Current = NumPlayer;
    Player[Current] = ::Player{};
    Player[Current].Identity = ++mLastIdentity;
    Player[Current].LinkMain = true;
    CurrentIsNew = true;
}

int32_t frmMain::IndexOfPlayer(uint64_t identity) const
{
    if (identity == 0) // no player's
        return -1;
    for (int32_t i = 0; i <= std::min(NumPlayer, kPlayerLimit); ++i)
        if (Player[i].Identity == identity)
            return i;
    return -1;
}
