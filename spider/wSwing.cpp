#include "spider/wSwing.h"

#include "app/Companions.h"
#include "app/frmMain.h"
#include "app/myLib.h"

#include "spider/SpiderDrawing.h"

#include "platform/graphics.h"
#include "platform/values.h"

#include <cmath>

using platform::ToInt32;

float DialAngle(int32_t v)
{
    return static_cast<float>(static_cast<double>(v) * myLib::pi / 720);
}

namespace {

DialPoint onDial(int32_t v, double across, double down)
{
    const double a = DialAngle(v);
    return {std::sin(a) * across + 50, 100 - std::cos(a) * down};
}

} // namespace

DialPoint TickOuter(int32_t v)
{
    return onDial(v, 100, 100);
}
DialPoint TickInner(int32_t v)
{
    return onDial(v, 90, 90);
}
DialPoint NeedleTip(int32_t v)
{
    return onDial(v, 100, 85);
}

void wSwing::Layout()
{
    setKind(platform::WindowKind::Floating);
    setTitle("Swing-o-meter");
    setSize(143, 148);
    setResizable(false);
    setTitleBarButtons(true, true, false);
}

void wSwing::CreateControls()
{
    Rectangle1 = addControl<platform::RectangleShape>("Rectangle1", {18, 12, 104, 104});
    Rectangle1->setBorder(platform::RGB(0, 0, 0), 1);
    Rectangle1->setFill(platform::RGB(255, 255, 255));
    Canvas1 = addControl<platform::Canvas>("Canvas1", {20, 14, 100, 100});
    Canvas1->setAcceptsFocus(false);
    Canvas1->onPaint = [this](platform::Graphics& g) { Canvas1_Paint(g); };
    StaticText1 = addControl<platform::StaticText>("StaticText1", {20, 116, 100, 20});
    StaticText1->setText("Label:");
    StaticText1->setAlignment(platform::Alignment::Center);
    StaticText1->setTextColor(platform::RGB(0, 0, 0));
}

void wSwing::Canvas1_Paint(platform::Graphics& g)
{
    const int32_t value = frmMain::instance().AverageColour;
    g.setPenWidth(1);
    for (int32_t v = -100; v <= 100; v += 20) {
        const DialPoint outer = TickOuter(v);
        const DialPoint inner = TickInner(v);
        g.drawLine(ToInt32(outer.x), ToInt32(outer.y), ToInt32(inner.x), ToInt32(inner.y));
    }
    g.fillOval(46, 96, 10, 10);
    g.setPenWidth(2);
    const DialPoint tip = NeedleTip(value);
    g.drawLine(50, 100, ToInt32(tip.x), ToInt32(tip.y));
    StaticText1->setText(platform::Str(value));
}

void wSwing::Event_Close()
{
    frmMain::instance().Swinging = false;
}

// --- The companion calls that reach this window ---

bool IsSwingometerShown()
{
    return wSwing::exists() && wSwing::instance().isVisible();
}

void HideSwingometer()
{
    if (wSwing::exists())
        wSwing::instance().hide();
}

void ShowSwingometer()
{
    wSwing::instance().show();
}

void CreateSwingometerHidden()
{
    wSwing::instance().hide();
}

void RefreshSwingometer(bool onlyWhenVisible)
{
    // Asking whether it is shown builds nothing: a closed swing-o-meter counts as hidden.
    if (onlyWhenVisible) {
        if (IsSwingometerShown())
            wSwing::instance().refresh();
        return;
    }
    wSwing::instance().refresh();
}

void CloseSwingometer()
{
    if (wSwing::exists())
        wSwing::instance().close();
}
