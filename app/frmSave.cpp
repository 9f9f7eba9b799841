#include "app/frmSave.h"

#include "app/frmMain.h"

void frmSave::Layout()
{
    setKind(platform::WindowKind::MovableModal);
    setTitle("Save your data");
    setSize(307, 74);
    setResizable(true);
    setMinimumSize(64, 64);
    setMaximumSize(32000, 32000);
    setTitleBarButtons(true, true, true);
}

void frmSave::CreateControls()
{
    StaticText1 = addControl<platform::StaticText>("StaticText1", {15, 3, 271, 36});
    StaticText1->setText("Would you like to save your changes ?");
    StaticText1->setAlignment(platform::Alignment::Center);
    PushButton1 = addControl<platform::PushButton>("PushButton1", {206, 43, 69, 20});
    PushButton1->setCaption("OK");
    PushButton1->onAction = [this] { PushButton1_Action(); };
    setDefaultButton(PushButton1);
    // "No" throws the changes away, so no key presses it: Escape backs out, as the close box
    // does.
    PushButton2 = addControl<platform::PushButton>("PushButton2", {122, 43, 69, 20});
    PushButton2->setCaption("No");
    PushButton2->onAction = [this] { PushButton2_Action(); };
}

void frmSave::PushButton1_Action()
{
    frmMain& m = frmMain::instance();
    m.SaveTheLot();
    // A cancelled save dialog or a failed write leaves the changes unsaved: the caller stops.
    m.SavePromptGoOn = !m.FileChanged;
    close();
}

void frmSave::PushButton2_Action()
{
    frmMain::instance().SavePromptGoOn = true;
    close();
}
