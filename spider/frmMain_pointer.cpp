// Editing the spider plot with the mouse: Command-click creates a player at the pointer, a
// still click inside the nearest player's box edits it, any other press and release moves the
// nearest player to the last drag point, a Shift release links, and the contextual menu
// creates or edits.

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

using platform::ToInt32;

namespace {

constexpr float kSearchStart = 10000;
constexpr int64_t kClickThreshold = 7;
constexpr const char* kContextualRows = "Create New Player,Edit Nearest Player";

// The player whose box centre is nearest the point; on equal distances the lower index.
int32_t nearestByCentre(const frmMain& w, float px, float py)
{
    float best = kSearchStart;
    int32_t found = 0;
    for (int32_t i = 0; i <= w.NumPlayer; ++i) {
        const float d = w.Distance(static_cast<float>(w.Player[i].xcentre),
                                   static_cast<float>(w.Player[i].ycentre), px, py);
        if (d < best) {
            found = i;
            best = d;
        }
    }
    return found;
}

// The player whose box corner is nearest the point; the best distance so far is kept as a
// whole number, so a later player wins only below that whole number.
int32_t nearestByCorner(const frmMain& w, float rx, float ry)
{
    int32_t best = static_cast<int32_t>(kSearchStart);
    int32_t found = 0;
    for (int32_t i = 0; i <= w.NumPlayer; ++i) {
        const float d = w.Distance(static_cast<float>(w.Player[i].x),
                                   static_cast<float>(w.Player[i].y), rx, ry);
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
        closest = nearestByCentre(*this, static_cast<float>(px), static_cast<float>(py));
        clickx = px;
        clicky = py;
        if (e.contextual) {
            Moving = false;
            ContextualMenu1->open();
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
    bool changed = false;
    if (NumPlayer > 0 && closest >= 0 && closest <= NumPlayer) {
        if (platform::Keyboard::AsyncShiftKey()) {
            Linker = nearestByCorner(*this, static_cast<float>(rx), static_cast<float>(ry));
            frmLinks::instance().showModal(*this);
            FileChanged = true;
            changed = true;
        } else {
            ::Player& p = Player[closest];
            // The box as the paint draws it: its corner mapped to pixels, its size in pixels;
            // the release in pixels too.
            const int64_t left = plotx(p.x);
            const int64_t top = ploty(p.y);
            const bool inside =
                left < e.x && e.x < left + p.Width && top < e.y && e.y < top + p.Height;
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
