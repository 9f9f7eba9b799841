// Handlers whose behaviour comes with later work; each does nothing yet.

#include "app/frmMain.h"

#include "app/myLib.h"

#include "platform/application.h"

void frmMain::Event_Open()
{
    myLib::InitMyLib();
    NumPlayer = -1;
    FileChanged = false;
    ffing = false;
    HasDB = false;
    SetTitleForFile("");
    InFileName.clear();
    Swinging = false;
}

void frmMain::Event_Close()
{
    platform::Application::quit(0);
}

bool frmMain::Canvas1_KeyDown(const std::string&) { return false; }
void frmMain::Canvas1_MouseUp(const platform::MouseEvent&) {}
void frmMain::Canvas1_MouseDrag(const platform::MouseEvent&) {}
bool frmMain::Canvas1_MouseDown(const platform::MouseEvent&) { return true; }
void frmMain::Canvas1_Paint(platform::Graphics&) {}
void frmMain::pbMove_Action() {}
void frmMain::PushButton1_Action() {}
void frmMain::Canvas2_Paint(platform::Graphics&) {}
void frmMain::ContextualMenu1_Open() {}
void frmMain::ContextualMenu1_Action(const std::string&) {}
void frmMain::PushButton2_Action() {}
void frmMain::PushButton3_Action() {}
bool frmMain::_FileSaveSet_Action() { return false; }
bool frmMain::_FileOpen_Action() { return false; }
bool frmMain::_FileNew_Action() { return false; }
bool frmMain::_FilePrint_Action() { return false; }
bool frmMain::_FileSave_Action() { return false; }
bool frmMain::_FileExportData_Action() { return false; }
bool frmMain::_FilePageSetup_Action() { return false; }
bool frmMain::_FileSaveasPicture_Action() { return false; }
bool frmMain::_ShowSwingometer_Action() { return false; }
bool frmMain::_ShowMakeHarder_Action() { return false; }
bool frmMain::_ShowMorePolarized_Action() { return false; }
bool frmMain::_ShowMakeEasier_Action() { return false; }
