// The view buttons beneath the spider plot: each opens another view of the same document.

#include "app/Companions.h"
#include "app/frmMain.h"

#include "spider/frmTable.h"
#include "spider/wSliders.h"

void frmMain::pbMove_Action()
{
    ShowGraph();
}

void frmMain::PushButton1_Action()
{
    frmTable::instance().show();
}

void frmMain::PushButton2_Action()
{
    wSliders::instance().show();
}

void frmMain::PushButton3_Action()
{
    ShowForceField();
}
