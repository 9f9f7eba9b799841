#include "app/Player.h"

#include "platform/values.h"

using platform::ToInt32;

void SetBoxSize(Player& p)
{
    p.Width = 7 * platform::Len(p.Name) + 20;
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
