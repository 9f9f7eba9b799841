#pragma once

// The save prompt: asks whether to save unsaved changes before the diagram is replaced or the
// program quits. "OK" saves through Save As and "No" throws the changes away; Escape and the
// close box back out, so that the caller stops and the document stays as it is.

#include "platform/controls.h"
#include "platform/window.h"

class frmSave : public platform::WindowClass<frmSave> {
public:
    platform::StaticText* StaticText1 = nullptr;
    platform::PushButton* PushButton1 = nullptr; ///< "OK"
    platform::PushButton* PushButton2 = nullptr; ///< "No"

    void PushButton1_Action();
    void PushButton2_Action();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<frmSave>;
    frmSave() = default;
};
