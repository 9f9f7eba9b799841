#pragma once

// The graph window over a small document, for the graph's tests.

#include "graph/graph.h"

#include "tests/support/app_fixture.h"

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/testing.h"

#include <algorithm>
#include <vector>

namespace graphtest {

inline constexpr platform::Color kBlack = platform::RGB(0, 0, 0);
inline constexpr platform::Color kWhite = platform::RGB(255, 255, 255);

/// The canvas's size at the window's layout size.
inline constexpr int32_t kW = 677;
inline constexpr int32_t kH = 363;

class GraphTest : public testsupport::AppTest {
protected:
    /// Replaces the document, then builds the graph (whose open event sees the document) and
    /// brings it to the front.
    graph& openGraph(const std::vector<testsupport::FixturePlayer>& players)
    {
        testsupport::LoadDocument(main(), players);
        graph& w = graph::instance();
        platform::testing::activate(w);
        platform::testing::processEvents();
        return w;
    }

    /// What the canvas's paint draws, into a picture of the canvas's size; like every paint
    /// it also fixes the scales and records the dots.
    static platform::Picture paint(graph& w)
    {
        platform::Picture pic(w.cGraph->width(), w.cGraph->height());
        w.cGraph_Paint(pic.graphics());
        return pic;
    }

    /// The printed drawing (page and picture), at the mapping given.
    static platform::Picture printed(graph& w, const GraphMapping& m)
    {
        platform::Picture pic(w.cGraph->width(), w.cGraph->height());
        w.DrawGraph(pic.graphics(), m, GraphTarget::Printed);
        return pic;
    }

    /// Dark pixels within the rectangle from (left, top) to (right, bottom), both included.
    static int darkPixels(const platform::Picture& pic, int left, int top, int right, int bottom)
    {
        int n = 0;
        for (int y = std::max(0, top); y <= std::min(pic.height() - 1, bottom); ++y)
            for (int x = std::max(0, left); x <= std::min(pic.width() - 1, right); ++x) {
                const platform::Color c = pic.pixel(x, y);
                if (c.r + c.g + c.b < 3 * 128)
                    ++n;
            }
        return n;
    }
};

} // namespace graphtest
