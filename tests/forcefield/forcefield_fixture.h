#pragma once

// The force field window over a small document, and what its tests look at in a drawing.

#include "forcefield/ffield.h"

#include "tests/support/app_fixture.h"

#include "platform/color.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

namespace fftest {

constexpr platform::Color kWhite = platform::RGB(255, 255, 255);

// The canvas at the window's design size.
constexpr int32_t kCanvasWidth = 646;
constexpr int32_t kCanvasHeight = 652;

inline bool isDark(platform::Color c)
{
    return c.r + c.g + c.b < 3 * 128;
}

/// Whether any pixel within `r` of (x, y) satisfies `test`: a non-antialiased outline may fall
/// a pixel either side of its mathematical line.
template <typename Image, typename Test>
bool anyNear(const Image& image, int x, int y, int r, Test test)
{
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (x + dx >= 0 && y + dy >= 0 && x + dx < image.width() && y + dy < image.height() &&
                test(image.pixel(x + dx, y + dy)))
                return true;
    return false;
}

class ForceFieldTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // Player 1 is a supporter of score 400, player 2 an opponent of score -400; player 3
        // has position 0 and player 4 an unknown stance, so neither is drawn. The largest
        // score lies below 0.9375 H, so the screen draws 5 score units to the pixel.
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271},
                                           {"Alpha", 10, 40},
                                           {"Bravo", -10, 40},
                                           {"Charlie", 0, 50},
                                           {"Delta", 30, 50, 100, 100, "", true, true}});
        ffield::instance(); // built and shown
    }

    ffield& ff() { return ffield::instance(); }

    /// The screen's drawing, as the canvas's paint makes it, into a picture of its size.
    platform::Picture paint()
    {
        platform::Picture picture(ff().cGraph->width(), ff().cGraph->height());
        ff().cGraph_Paint(picture.graphics());
        return picture;
    }
};

} // namespace fftest
