// The main window's Show menu: the whole-map commands and the swing-o-meter switch.

#include "app/frmMain.h"

#include "spider/ShowCommands.h"

void frmMain::_ShowMakeEasier_Action()
{
    ApplyShowTransform(*this, ShowTransform::MakeEasier);
    DocumentChanged();
}

void frmMain::_ShowMakeHarder_Action()
{
    ApplyShowTransform(*this, ShowTransform::MakeHarder);
    DocumentChanged();
}

void frmMain::_ShowMorePolarized_Action()
{
    ApplyShowTransform(*this, ShowTransform::MorePolarized);
    DocumentChanged();
}

void frmMain::_ShowSwingometer_Action()
{
    ToggleSwingometer(*this);
}
