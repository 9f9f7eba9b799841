#include "bench/bench_document.h"

#include "app/frmMain.h"

#include "platform/testing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

frmMain& BenchMainWindow()
{
    // Whatever the start-up asks: open an existing file, then cancel its dialog, which leaves
    // the window without a document.
    platform::testing::setModalHandler([](const platform::testing::ModalRequest& request) {
        using Kind = platform::testing::ModalRequest::Kind;
        if (request.kind == Kind::OpenFile || request.kind == Kind::SaveFile)
            return platform::testing::ModalAnswer::cancel();
        return platform::testing::ModalAnswer::ok();
    });
    frmMain& w = frmMain::instance();
    platform::testing::processEvents();
    return w;
}

Document BenchDocument(int32_t players)
{
    Document w;
    const int32_t n = std::clamp(players, 0, kPlayerLimit);
    w.NumPlayer = n;
    w.AveColour = true;
    for (int32_t i = 0; i <= n; ++i) {
        Player p;
        p.Name = i == 0 ? "Central issue of the benchmark" : "Player number " + std::to_string(i);
        if (i % 2 == 0)
            p.Subtitle = "Subtitle " + std::to_string(i);
        p.Position = (i * 37) % 201 - 100;
        p.Importance = (i * 23) % 101;
        p.LinkMain = i % 5 != 0;
        p.Unknown = i % 11 == 0 && i > 0;
        p.KeyMsg = i % 3 == 0 ? "First line\rSecond line" : "";
        SetBoxSize(p);
        if (i == 0) {
            p.xcentre = 386;
            p.ycentre = 300;
        } else {
            // Two rings around the central issue, spread over the model space.
            const double a = 2 * std::numbers::pi * i / n;
            const double r = i % 2 ? 1.0 : 0.6;
            p.xcentre = static_cast<int32_t>(386 + std::cos(a) * 320 * r);
            p.ycentre = static_cast<int32_t>(300 + std::sin(a) * 260 * r);
        }
        CornerFromCentre(p);
        w.Player[i] = p;
    }
    for (auto& row : w.Links)
        row.fill(0);
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = i + 1; j <= n; ++j)
            w.Links[i][j] = w.Links[j][i] = (i * 7 + j * 13) % 100 + 1;
    return w;
}

void LoadBenchDocument(frmMain& w, int32_t players)
{
    Document d = BenchDocument(players);
    w.NumPlayer = d.NumPlayer;
    w.AveColour = d.AveColour;
    w.Swinging = false;
    w.Player = d.Player;
    w.Links = d.Links;
}
