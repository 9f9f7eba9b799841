#include "spider/wSliders.h"

#include "app/Companions.h"
#include "app/Menu.h"
#include "app/Messages.h"
#include "app/SliderField.h"
#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/values.h"

#include <algorithm>

namespace {

int32_t pagePosition(int32_t row)
{
    return row <= wSliders::kRowsPerPage ? row : row - wSliders::kRowsPerPage;
}

} // namespace

void wSliders::Layout()
{
    setMenuBar(Menu::instance());
    setKind(platform::WindowKind::Document);
    setTitle("Sliders");
    setSize(491, 634);
    setResizable(false);
    setTitleBarButtons(true, true, true);
}

void wSliders::CreateControls()
{
    PushButton2 = addControl<platform::PushButton>("PushButton2", {409, 604, 69, 20},
                                                   platform::LockRight | platform::LockBottom);
    PushButton2->setCaption("Close");
    PushButton2->onAction = [this] { PushButton2_Action(); };
    setDefaultButton(PushButton2);
    StaticText1 = addControl<platform::StaticText>("StaticText1", {9, 14, 136, 20});
    StaticText1->setText("Label:");
    StaticText1->setTextSize(10);
    StaticText1->setVisible(false);
    Slider1 = addControl<platform::Slider>("Slider1", {149, 14, 281, 6});
    Slider1->setRange(-100, 100);
    Slider1->setVisible(false);
    EditField1 = addControl<platform::EditField>("EditField1", {440, 14, 30, 16});
    EditField1->setAlignment(platform::Alignment::Right);
    EditField1->setTextSize(10);
    EditField1->setVisible(false);
    ScrollBar1 = addControl<platform::ScrollBar>("ScrollBar1", {475, 8, 13, 584});
    ScrollBar1->setRange(0, 1);
    ScrollBar1->setLineStep(1);
    ScrollBar1->setPageStep(1);
    ScrollBar1->setLiveScroll(false);
    ScrollBar1->setVisible(false);
    ScrollBar1->onValueChanged = [this] { ScrollBar1_ValueChanged(); };
}

void wSliders::Event_Open()
{
    const frmMain& m = frmMain::instance();
    const int32_t n = std::max(0, m.NumPlayer);
    mRows = n;
    changed = false;
    sorted.assign(static_cast<size_t>(n), 0);
    for (int32_t i = 1; i <= n; ++i) {
        sorted[static_cast<size_t>(i - 1)] = m.Player[i].Position;
        order[i] = 0;
        used[i] = false;
    }
    std::sort(sorted.begin(), sorted.end());
    // Lowest position first; equal positions in ascending index order.
    for (int32_t r = 1; r <= n; ++r) {
        for (int32_t j = 1; j <= n; ++j) {
            if (!used[j] && m.Player[j].Position == sorted[static_cast<size_t>(r - 1)]) {
                order[r] = j;
                mPlayer[r] = m.Player[j].Identity;
                used[j] = true;
                break;
            }
        }
    }
    opening = true;
    for (int32_t i = 1; i <= std::min(n, kRowsPerPage); ++i)
        buildRow(i);
    if (n > kRowsPerPage)
        ScrollBar1->setVisible(true);
    opening = false;
}

void wSliders::buildRow(int32_t i)
{
    const ::Player& p = frmMain::instance().Player[order[i]];
    const int32_t k = pagePosition(i);

    st[i] = addControl<platform::StaticText>("StaticText1", {10, 23 * k - 10, 136, 20});
    st[i]->setTextSize(10);
    st[i]->setText(p.Name);

    slide[i] = addControl<platform::Slider>("Slider1", {149, 23 * k, 281, 6});
    slide[i]->setRange(-100, 100);
    slide[i]->setLineStep(1);
    slide[i]->setPageStep(20);
    slide[i]->setLiveScroll(false);
    slide[i]->setValue(p.Position);
    slide[i]->onValueChanged = [this, i] { Slider1_ValueChanged(i); };

    ef[i] = addControl<platform::EditField>("EditField1", {440, 23 * k - 10, 30, 16});
    ef[i]->setTextSize(10);
    ef[i]->setText(platform::Str(p.Position));
    ef[i]->setAlignment(platform::Alignment::Right);
    ef[i]->onTextChange = [this, i] { EditField1_TextChange(i); };
    ef[i]->onEditingFinished = [this, i] { ShowStoredValue(*ef[i], *slide[i]); };
}

void wSliders::Slider1_ValueChanged(int32_t index)
{
    if (opening)
        return;
    ShowSliderValue(*ef[index], *slide[index]);
    changed = true;
    mMoved[index] = true;
}

void wSliders::EditField1_TextChange(int32_t index)
{
    if (opening)
        return;
    MoveSliderToField(*ef[index], *slide[index]);
    changed = true;
    mMoved[index] = true;
}

void wSliders::showRows(int32_t first, int32_t last, bool visible)
{
    for (int32_t i = first; i <= last; ++i) {
        if (!slide[i])
            continue;
        st[i]->setVisible(visible);
        slide[i]->setVisible(visible);
        ef[i]->setVisible(visible);
    }
}

void wSliders::ScrollBar1_ValueChanged()
{
    opening = true;
    if (ScrollBar1->value() > 0) {
        showRows(1, kRowsPerPage, false);
        if (!done2ndpage) {
            for (int32_t i = kRowsPerPage + 1; i <= mRows; ++i)
                buildRow(i);
            done2ndpage = true;
        } else {
            showRows(kRowsPerPage + 1, mRows, true);
        }
    } else {
        if (done2ndpage)
            showRows(kRowsPerPage + 1, mRows, false);
        showRows(1, kRowsPerPage, true);
    }
    opening = false;
}

int32_t wSliders::builtRows() const
{
    return done2ndpage ? mRows : std::min(mRows, kRowsPerPage);
}

bool wSliders::keepEdits()
{
    frmMain& m = frmMain::instance();
    bool wrote = false;
    if (!changed)
        return false;
    for (int32_t i = 1; i <= builtRows(); ++i) {
        // The row's own player, wherever players added or deleted meanwhile have moved it; the
        // central issue never has a row.
        const int32_t index = m.IndexOfPlayer(mPlayer[i]);
        if (!mMoved[i] || index < 1)
            continue;
        m.Player[index].Position = slide[i]->value();
        wrote = true;
    }
    if (wrote)
        m.FileChanged = true;
    return wrote;
}

bool wSliders::hasUnkeptEdits() const
{
    if (!changed || mDiscarding)
        return false;
    const frmMain& m = frmMain::instance();
    for (int32_t i = 1; i <= builtRows(); ++i) {
        const int32_t index = m.IndexOfPlayer(mPlayer[i]);
        if (mMoved[i] && index >= 1 && m.Player[index].Position != slide[i]->value())
            return true;
    }
    return false;
}

void wSliders::PushButton2_Action()
{
    frmMain& m = frmMain::instance();
    if (keepEdits())
        m.DocumentChanged();
    else
        m.refresh();
    close();
}

bool wSliders::Event_CancelClose()
{
    if (!hasUnkeptEdits())
        return false;
    platform::MessageDialog question;
    question.icon = 1;
    question.title = "Sliders";
    question.message = Messages::SlidersUnkept;
    question.explanation = Messages::SlidersUnkeptExplanation;
    question.actionButton.caption = Messages::SlidersKeep;
    question.alternateActionButton.visible = true;
    question.alternateActionButton.caption = Messages::SlidersDiscard;
    question.cancelButton.caption = Messages::SlidersGoBack;
    switch (question.showModal()) {
    case platform::MessageDialog::Result::Action:
        if (keepEdits())
            frmMain::instance().DocumentChanged();
        return false;
    case platform::MessageDialog::Result::Alternate:
        return false;
    case platform::MessageDialog::Result::Cancel:
        break;
    }
    return true;
}

void wSliders::closeDiscardingEdits()
{
    mDiscarding = true;
    close();
}

bool CloseSliders()
{
    if (!wSliders::exists())
        return true;
    wSliders::instance().close();
    return !wSliders::exists();
}

void RebuildSliders()
{
    if (!wSliders::exists())
        return;
    wSliders& old = wSliders::instance();
    const int32_t left = old.left();
    const int32_t top = old.top();
    old.closeDiscardingEdits();
    wSliders& fresh = wSliders::instance();
    fresh.setLeft(left);
    fresh.setTop(top);
}
