// The main window's two paints: the spider plot on Canvas1 and the colour legend on Canvas2.

#include "app/frmMain.h"

#include "spider/SpiderDrawing.h"

void frmMain::Canvas1_Paint(platform::Graphics& g)
{
    DrawSpiderPlot(*this, g, SpiderTarget::Screen, Canvas1->width(), Canvas1->height());
}

void frmMain::Canvas2_Paint(platform::Graphics& g)
{
    DrawColourLegend(*this, g);
}
