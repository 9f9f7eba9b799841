// Handlers whose behaviour comes with later work; each does nothing yet.

#include "app/frmMain.h"


bool frmMain::_FilePrint_Action() { return false; }
bool frmMain::_FilePageSetup_Action() { return false; }
bool frmMain::_FileSaveasPicture_Action() { return false; }
