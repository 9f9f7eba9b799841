#include "app/Player.h"

#include "platform/values.h"

#include <algorithm>
#include <limits>

using platform::ToInt32;

void SetBoxSize(Player& p)
{
    // Formed in 64 bits: 7 per character passes the Int32 range for a name of some 307 million
    // characters, and the width then stays at the largest Int32.
    const int64_t width = 7 * static_cast<int64_t>(platform::Len(p.Name)) + 20;
    p.Width = static_cast<int32_t>(std::min<int64_t>(width, std::numeric_limits<int32_t>::max()));
    p.Height = p.Subtitle.empty() ? 30 : 45;
}

void CentreFromCorner(Player& p)
{
    p.xcentre = ToInt32(p.x + p.Width / 2.0);
    p.ycentre = ToInt32(p.y + p.Height / 2.0);
}

void CornerFromCentre(Player& p)
{
    p.x = ToInt32(p.xcentre - p.Width / 2.0);
    p.y = ToInt32(p.ycentre - p.Height / 2.0);
}
