#include "app/frmDetails.h"

#include "app/Companions.h"
#include "app/SliderField.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"

#include "platform/values.h"

using platform::Alignment;
using platform::Str;

void frmDetails::Layout()
{
    setKind(platform::WindowKind::Document);
    setTitle("New Player");
    // Tall enough to show the key message field below the buttons.
    setSize(309, 450);
    setResizable(false);
    // The close box, and Escape with it, back out without writing, as in the link editor.
    setTitleBarButtons(true, true, false);
}

void frmDetails::CreateControls()
{
    auto field = [this](const char* name, platform::Rect rect, const char* text, Alignment align) {
        platform::EditField* f = addControl<platform::EditField>(name, rect);
        f->setText(text);
        f->setAlignment(align);
        return f;
    };
    auto label = [this](const char* name, platform::Rect rect, const char* text) {
        platform::StaticText* st = addControl<platform::StaticText>(name, rect);
        st->setText(text);
        return st;
    };
    auto button = [this](const char* name, platform::Rect rect, const char* caption) {
        platform::PushButton* b = addControl<platform::PushButton>(name, rect);
        b->setCaption(caption);
        return b;
    };
    auto check = [this](const char* name, platform::Rect rect, const char* caption, bool value) {
        platform::CheckBox* c = addControl<platform::CheckBox>(name, rect);
        c->setCaption(caption);
        c->setValue(value);
        return c;
    };
    auto slider = [this](const char* name, platform::Rect rect, int32_t lo, int32_t hi,
                         int32_t value) {
        platform::Slider* s = addControl<platform::Slider>(name, rect);
        s->setRange(lo, hi);
        s->setValue(value);
        s->setLineStep(1);
        s->setPageStep(10);
        s->setLiveScroll(false);
        return s;
    };

    efName = field("efName", {56, 10, 230, 22}, "", Alignment::Left);
    efSub = field("efSub", {68, 42, 217, 22}, "", Alignment::Left);
    efPosn = field("efPosn", {255, 92, 35, 22}, "-10", Alignment::Right);
    efPosn->onTextChange = [this] { efPosn_TextChange(); };
    efPosn->onEditingFinished = [this] { ShowStoredValue(*efPosn, *Slider1); };
    efImp = field("efImp", {248, 174, 35, 22}, "40", Alignment::Right);
    efImp->onTextChange = [this] { efImp_TextChange(); };
    efImp->onEditingFinished = [this] { ShowStoredValue(*efImp, *Slider2); };
    GroupBox1 = addControl<platform::GroupBox>("GroupBox1", {19, 72, 280, 75});
    GroupBox1->setCaption("Current Position");
    PushButton1 = button("PushButton1", {216, 272, 69, 20}, "OK");
    setDefaultButton(PushButton1);
    PushButton1->onAction = [this] { PushButton1_Action(); };
    StaticText1 = label("StaticText1", {8, 11, 100, 20}, "Name");
    Slider1 = slider("Slider1", {23, 92, 219, 28}, -100, 100, -10);
    Slider1->onValueChanged = [this] { Slider1_ValueChanged(); };
    Slider2 = slider("Slider2", {19, 174, 219, 28}, 0, 100, 40);
    Slider2->onValueChanged = [this] { Slider2_ValueChanged(); };
    StaticText3 = label("StaticText3", {19, 153, 100, 20}, "Importance");
    cbMain = check("cbMain", {20, 242, 264, 20}, "Linked to main player", true);
    PushButton2 = button("PushButton2", {135, 272, 69, 20}, "Delete");
    PushButton2->onAction = [this] { PushButton2_Action(); };
    PushButton3 = button("PushButton3", {22, 271, 69, 20}, "Links");
    PushButton3->onAction = [this] { PushButton3_Action(); };
    StaticText4 = label("StaticText4", {7, 43, 58, 21}, "Sub- title");
    cbUnknown = check("cbUnknown", {29, 121, 80, 20}, "Unknown", false);
    cbAveColour = check("cbAveColour", {143, 121, 143, 20}, "Average Colour", true);
    cbAveColour->setVisible(false);
    StaticText5 = label("StaticText5", {22, 209, 130, 20}, "Force field score");
    // The score is the product of the two sliders: it follows them and takes no typing.
    efFFScore = field("efFFScore", {150, 208, 52, 22}, "0", Alignment::Right);
    efFFScore->setReadOnly(true);
    efKeyMsg = addControl<platform::EditField>("efKeyMsg", {20, 303, 274, 136});
    efKeyMsg->setMultiline(true);
    efKeyMsg->setTextSize(10);
}

void frmDetails::Event_Open()
{
    frmMain& m = frmMain::instance();
    const bool isNew = m.CurrentIsNew;
    m.CurrentIsNew = false;
    if (m.Current < 0 || m.Current > kPlayerLimit)
        return;
    // An existing player is loaded whatever its name: a player whose name was cleared keeps
    // its other fields. A player just created keeps the layout's values.
    if (!isNew) {
        const Player& p = m.Player[m.Current];
        efName->setText(p.Name);
        efSub->setText(p.Subtitle);
        efKeyMsg->setText(p.KeyMsg);
        Slider1->setValue(p.Position);
        Slider2->setValue(p.Importance);
        cbMain->setValue(p.LinkMain);
        cbUnknown->setValue(p.Unknown);
    }
    PushButton2->setVisible(true);
    if (m.Current == 0) {
        cbAveColour->setVisible(true);
        cbAveColour->setValue(m.AveColour);
        PushButton2->setVisible(false);
    }
    showScore();
    efName->setFocus();
}

void frmDetails::showScore()
{
    efFFScore->setText(Str(static_cast<int64_t>(Slider1->value()) * Slider2->value()));
}

void frmDetails::Slider1_ValueChanged()
{
    ShowSliderValue(*efPosn, *Slider1);
    showScore();
}

void frmDetails::Slider2_ValueChanged()
{
    ShowSliderValue(*efImp, *Slider2);
    showScore();
}

// A number typed beside a slider moves the slider, which keeps it within its range; OK then
// stores what the slider holds.
void frmDetails::efPosn_TextChange()
{
    MoveSliderToField(*efPosn, *Slider1);
}

void frmDetails::efImp_TextChange()
{
    MoveSliderToField(*efImp, *Slider2);
}

void frmDetails::PushButton1_Action()
{
    frmMain& m = frmMain::instance();
    Player& p = m.Player[m.Current];
    p.Name = efName->text();
    p.Subtitle = efSub->text();
    p.KeyMsg = efKeyMsg->text();
    p.Position = Slider1->value();
    p.Importance = Slider2->value();
    p.LinkMain = cbMain->value();
    p.Unknown = cbUnknown->value();
    if (m.Current == 0) {
        m.AveColour = cbAveColour->value();
        if (m.AveColour) {
            m.Swinging = true;
        } else {
            m.Swinging = false;
            HideSwingometer();
        }
    }
    m.DocumentChanged();
    close();
}

void frmDetails::PushButton2_Action()
{
    frmMain& m = frmMain::instance();
    const int32_t c = m.Current;
    const int32_t n = m.NumPlayer;
    if (c < 1 || c > n)
        return;
    auto& links = m.Links;
    for (int32_t i = c; i <= n - 1; ++i) {
        m.Player[i] = m.Player[i + 1];
        for (int32_t j = 0; j <= c - 1; ++j)
            links[i][j] = links[i + 1][j];
        for (int32_t j = c; j <= n - 1; ++j)
            links[i][j] = links[i + 1][j + 1];
    }
    for (int32_t i = 0; i <= c - 1; ++i)
        for (int32_t j = c; j <= n - 1; ++j)
            links[i][j] = links[i][j + 1];
    for (int32_t k = 0; k <= kPlayerLimit; ++k) {
        links[n][k] = 0;
        links[k][n] = 0;
    }
    m.NumPlayer = n - 1;
    m.DocumentChanged();
    close();
}

void frmDetails::PushButton3_Action()
{
    // The links of the player being edited, whichever window opened the editor; the pointer
    // state is given back afterwards.
    frmMain& m = frmMain::instance();
    const int32_t savedClosest = m.closest;
    const int32_t c = m.Current;
    if (c < 0 || c > kPlayerLimit)
        return;
    for (int32_t i = 1; i <= m.NumPlayer; ++i) {
        if (m.Links[c][i] == 0)
            continue;
        m.closest = c;
        m.Linker = i;
        frmLinks::instance().showModal(*this);
    }
    m.closest = savedClosest;
}

void EditPlayerModally(const PlayerEditorSetup& setup)
{
    frmDetails& editor = frmDetails::instance();
    if (setup.title)
        editor.setTitle(*setup.title);
    if (setup.mainVisible)
        editor.cbMain->setVisible(*setup.mainVisible);
    if (setup.position)
        editor.Slider1->setValue(*setup.position);
    if (setup.importance)
        editor.Slider2->setValue(*setup.importance);
    frmMain& m = frmMain::instance();
    editor.showModal(setup.owner ? *setup.owner : m);

    Player& p = m.Player[m.Current];
    SetBoxSize(p);
    switch (setup.followUp) {
    case BoxFollowUp::CentreFromCorner:
        CentreFromCorner(p);
        break;
    case BoxFollowUp::CentreFromCornerInModelUnits:
        m.CentreFromCornerInModelUnits(p);
        break;
    case BoxFollowUp::CornerFromCentre:
        CornerFromCentre(p);
        m.KeepBoxOnCanvas(p);
        break;
    }
    m.FileChanged = true;
}
