#include "spider/ShowCommands.h"

#include "app/Companions.h"
#include "app/frmMain.h"

#include "platform/values.h"

#include <algorithm>

int32_t TransformedPosition(ShowTransform transform, int32_t position)
{
    // In 64 bits: a stored position near the Int32 bounds must not wrap.
    const double up = std::min(100.0, static_cast<double>(static_cast<int64_t>(position) + 10));
    const double down = std::max(-100.0, static_cast<double>(static_cast<int64_t>(position) - 10));
    switch (transform) {
    case ShowTransform::MakeEasier:
        return platform::ToInt32(up);
    case ShowTransform::MakeHarder:
        return platform::ToInt32(down);
    case ShowTransform::MorePolarized:
        return platform::ToInt32(position <= 0 ? down : up);
    }
    return position;
}

void ApplyShowTransform(frmMain& w, ShowTransform transform)
{
    for (int32_t i = 1; i <= w.NumPlayer; ++i)
        if (!w.Player[i].Unknown)
            w.Player[i].Position = TransformedPosition(transform, w.Player[i].Position);
    w.FileChanged = true;
}

void ToggleSwingometer(frmMain& w)
{
    // By what the user sees: the flag can be set while the gauge is hidden (the central
    // issue's "Average Colour" sets it without showing it), and cleared while it is shown.
    if (IsSwingometerShown()) {
        w.Swinging = false;
        HideSwingometer();
    } else {
        w.Swinging = true;
        ShowSwingometer();
    }
}
