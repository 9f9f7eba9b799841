#include "app/frmLinks.h"

#include "app/frmMain.h"

#include "platform/values.h"

using platform::Alignment;

void frmLinks::Layout()
{
    setKind(platform::WindowKind::Document);
    setTitle("Make Links");
    setSize(427, 119);
    setResizable(false);
    setTitleBarButtons(true, true, false);
}

void frmLinks::CreateControls()
{
    auto label = [this](const char* name, platform::Rect rect, const char* text) {
        platform::StaticText* st = addControl<platform::StaticText>(name, rect);
        st->setText(text);
        return st;
    };
    PushButton1 = addControl<platform::PushButton>("PushButton1", {344, 85, 69, 20});
    PushButton1->setCaption("OK");
    PushButton1->onAction = [this] { PushButton1_Action(); };
    setDefaultButton(PushButton1);
    PushButton2 = addControl<platform::PushButton>("PushButton2", {263, 85, 69, 20});
    PushButton2->setCaption("Delete");
    PushButton2->onAction = [this] { PushButton2_Action(); };
    EditField1 = addControl<platform::EditField>("EditField1", {326, 51, 80, 22});
    EditField1->setText("50");
    EditField1->setAlignment(Alignment::Right);
    StaticText1 = label("StaticText1", {15, 8, 398, 20}, "Label:");
    StaticText2 = label("StaticText2", {15, 28, 398, 20}, "Label:");
    StaticText3 = label("StaticText3", {15, 54, 86, 20}, "Importance:");
    StaticText4 = label("StaticText4", {413, 54, 16, 20}, "%");
    Slider1 = addControl<platform::Slider>("Slider1", {115, 55, 200, 15});
    Slider1->setRange(0, 100);
    Slider1->setValue(50);
    Slider1->setLineStep(1);
    Slider1->setPageStep(10);
    Slider1->setLiveScroll(false);
    Slider1->onValueChanged = [this] { Slider1_ValueChanged(); };
}

bool frmLinks::endsValid() const
{
    const frmMain& m = frmMain::instance();
    return m.closest >= 0 && m.closest <= kPlayerLimit && m.Linker >= 0 && m.Linker <= kPlayerLimit;
}

void frmLinks::Event_Open()
{
    // The strength has the focus, selected, so that a number typed at once replaces it.
    EditField1->setFocus();
    if (endsValid()) {
        const frmMain& m = frmMain::instance();
        StaticText1->setText("Link: " + m.Player[m.closest].Name);
        StaticText2->setText("To: " + m.Player[m.Linker].Name);
        if (m.Links[m.closest][m.Linker] > 0)
            Slider1->setValue(m.Links[m.closest][m.Linker]);
    }
    EditField1->selectAll();
}

void frmLinks::Slider1_ValueChanged()
{
    EditField1->setText(platform::Str(Slider1->value()));
}

void frmLinks::PushButton1_Action()
{
    if (endsValid()) {
        // The typed text decides, not the slider, and it is stored as typed.
        frmMain& m = frmMain::instance();
        const int32_t v = platform::ToInt32(platform::Val(EditField1->text()));
        m.Links[m.closest][m.Linker] = v;
        m.Links[m.Linker][m.closest] = v;
    }
    close();
}

void frmLinks::PushButton2_Action()
{
    if (endsValid()) {
        frmMain& m = frmMain::instance();
        m.Links[m.closest][m.Linker] = 0;
        m.Links[m.Linker][m.closest] = 0;
    }
    close();
}
