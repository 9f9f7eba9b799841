#pragma once

// The link editor: a modal dialog that sets or removes the link between frmMain.closest and
// frmMain.Linker, in both directions.

#include "platform/controls.h"
#include "platform/window.h"

class frmLinks : public platform::WindowClass<frmLinks> {
public:
    platform::PushButton* PushButton1 = nullptr; ///< "OK"
    platform::PushButton* PushButton2 = nullptr; ///< "Delete"
    platform::EditField* EditField1 = nullptr;   ///< the strength in per cent
    platform::StaticText* StaticText1 = nullptr;
    platform::StaticText* StaticText2 = nullptr;
    platform::StaticText* StaticText3 = nullptr;
    platform::StaticText* StaticText4 = nullptr;
    platform::Slider* Slider1 = nullptr;

    void Event_Open() override;
    void Slider1_ValueChanged();
    void PushButton1_Action();
    void PushButton2_Action();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<frmLinks>;
    frmLinks() = default;
    /// Both ends exist in the document's arrays.
    bool endsValid() const;
};
