#include "forcefield/AddNewPlayer.h"

#include "app/Messages.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"
#include "app/myLib.h"

#include "platform/dialogs.h"
#include "platform/values.h"

#include <cmath>

using platform::Rnd;
using platform::ToInt32;

namespace {

// The first player sits this far from the top-left corner, plus as much again at random.
constexpr double kFirstOffset = 50;
// Each later player is turned this much further round, plus up to kAngleSpread at random.
constexpr double kAngleStep = 0.3;
constexpr double kAngleSpread = 0.08;
// Half the canvas divided by this, plus up to 1 at random, is the distance from its centre.
constexpr double kDistanceDivisor = 2.05;

} // namespace

void PlaceNewPlayer(frmMain& w, int32_t index)
{
    if (index < 1 || index > kPlayerLimit)
        return;
    Player& p = w.Player[index];
    // The map as the canvas shows it at any size, in model units.
    const double W = frmMain::kShownModelWidth;
    const double H = frmMain::kShownModelHeight;
    if (index == 1) {
        const double r1 = Rnd();
        p.xcentre = ToInt32(kFirstOffset + kFirstOffset * r1);
        const double r2 = Rnd();
        p.ycentre = ToInt32(kFirstOffset + kFirstOffset * r2);
        return;
    }
    // The angle of the previous player's centre seen from the canvas centre; a previous player
    // exactly above or below it lands the new one on the far side, and one on the centre
    // itself has no angle, so 0 is taken.
    const Player& previous = w.Player[index - 1];
    const int32_t dx = ToInt32(previous.xcentre - W / 2);
    const int32_t dy = ToInt32(previous.ycentre - H / 2);
    double t = 0;
    if (dx != 0)
        t = std::atan(static_cast<double>(dy) / dx);
    else if (dy != 0)
        t = dy > 0 ? myLib::pi / 2 : -myLib::pi / 2;
    float a = static_cast<float>(dx > 0 ? t + myLib::pi : t);
    const double r1 = Rnd();
    a = static_cast<float>((a + kAngleStep) + kAngleSpread * r1);
    const double r2 = Rnd();
    p.xcentre = ToInt32(W / 2 - (std::cos(a) * W) / (r2 + kDistanceDivisor));
    const double r3 = Rnd();
    p.ycentre = ToInt32(H / 2 - (std::sin(a) * H) / (r3 + kDistanceDivisor));
}

bool AddNewPlayer(DocumentView caller, const NewPlayerPresets& presets, platform::Window* owner)
{
    frmMain& m = frmMain::instance();
    // Without a document there is no central issue to add players to.
    if (m.NumPlayer < 0)
        return false;
    if (m.NumPlayer >= kPlayerLimit) {
        platform::MsgBox(Messages::PlayerLimit);
        return false;
    }
    m.AppendPlayer();
    PlaceNewPlayer(m, m.Current);

    PlayerEditorSetup setup =
        PlayerEditorSetup::titled("New Player", BoxFollowUp::CornerFromCentre);
    setup.mainVisible = true;
    setup.position = presets.position;
    setup.importance = presets.importance;
    setup.owner = owner;
    EditPlayerModally(setup);

    m.EnableViewButtons();
    m.DocumentChanged(caller);
    m.FileChanged = true;
    return true;
}
