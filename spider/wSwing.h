#pragma once

// The floating swing-o-meter: frmMain.AverageColour as a needle on a dial and as a number.

#include "platform/controls.h"
#include "platform/window.h"

#include <cstdint>

class wSwing : public platform::WindowClass<wSwing> {
public:
    platform::RectangleShape* Rectangle1 = nullptr;
    platform::Canvas* Canvas1 = nullptr;
    platform::StaticText* StaticText1 = nullptr;

    void Canvas1_Paint(platform::Graphics& g);
    void Event_Close() override;

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<wSwing>;
    wSwing() = default;
};

/// A point of the dial, before the integer conversion.
struct DialPoint {
    double x;
    double y;
};

/// The dial's angle for a value: a quarter of a degree per unit from the upward vertical,
/// in radians, rounded to single precision.
float DialAngle(int32_t v);
/// The outer (radius 100) and inner (radius 90) ends of the tick of a value.
DialPoint TickOuter(int32_t v);
DialPoint TickInner(int32_t v);
/// The needle's tip for a value: 100 across and 85 down, so that it lies below the outer end
/// of the tick of the same value.
DialPoint NeedleTip(int32_t v);
