#include "tests/support/largest_document.h"

#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace testsupport::largest {

namespace {

std::string two(int32_t i)
{
    return (i < 10 ? "0" : "") + std::to_string(i);
}

// Characters, not bytes: the box-size rule counts characters.
int32_t characters(const std::string& s)
{
    return static_cast<int32_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string repeated(const std::string& piece, size_t length)
{
    std::string s;
    while (s.size() < length)
        s += piece;
    return s;
}

} // namespace

Player player(int32_t i)
{
    Player p;
    if (i == 0) {
        p.Name = "Central issue of the largest document — Ünïcode";
        p.Subtitle = "Where every other player points";
        p.KeyMsg = "One line\rand a second";
        p.x = 353;
        p.y = 271;
        p.Importance = 50;
        p.LinkMain = true;
    } else {
        // k runs over 1..50 in a shuffled order, so that index order is not position order.
        const int32_t k = (i * 37) % 51;
        p.Name = "Player " + two(i) + " — café owners’ association nº " + two(k);
        if (i % 3 != 0)
            p.Subtitle = "Subtitle " + two(i) + ": " + repeated("a long line that goes on ", 90);
        if (i % 4 != 1)
            p.KeyMsg = "Key message " + two(i) + " " + repeated("first line, ", 1200) + "\r" +
                       repeated("second line — ", 1200) + "\r" + repeated("third ", 800);
        p.x = 10 + 14 * i;
        p.y = 20 + 11 * k;
        p.Position = -100 + static_cast<int32_t>(std::lround((k - 1) * 200.0 / 49));
        p.Importance = (i * 29) % 101;
        p.LinkMain = i % 7 != 3;
        p.Unknown = i % 11 == 5;
    }
    p.Width = 7 * characters(p.Name) + 20;
    p.Height = p.Subtitle.empty() ? 30 : 45;
    p.xcentre = p.x + p.Width / 2;
    p.ycentre = p.y + p.Height / 2;
    return p;
}

int32_t link(int32_t i, int32_t j)
{
    return i == j ? 0 : (i * j + i + j) % 100 + 1;
}

std::vector<std::string> lines()
{
    auto b = [](bool v) { return std::string(v ? "true" : "false"); };
    std::vector<std::string> out{"Varnholt Data\tfalse", std::to_string(kPlayerLimit)};
    for (int32_t i = 0; i <= kPlayerLimit; ++i) {
        const Player p = player(i);
        std::string keyMsg = p.KeyMsg;
        for (size_t at; (at = keyMsg.find('\r')) != std::string::npos;)
            keyMsg.replace(at, 1, "^&*");
        for (const std::string& line :
             {p.Name, p.Subtitle + "\t" + keyMsg, std::to_string(p.x), std::to_string(p.y),
              std::to_string(p.Width), std::to_string(p.Height), std::to_string(p.Position),
              std::to_string(p.Importance), b(p.LinkMain) + " " + b(p.Unknown)})
            out.push_back(line);
    }
    for (int32_t i = 1; i <= kPlayerLimit; ++i) {
        std::string row;
        for (int32_t j = 1; j <= kPlayerLimit; ++j)
            row += std::to_string(link(i, j)) + ",";
        out.push_back(row);
    }
    out.push_back(b(kAveColour));
    return out;
}

std::string text()
{
    std::string s;
    for (const std::string& line : lines())
        s += line + "\n";
    return s;
}

std::vector<int32_t> byPosition()
{
    std::vector<int32_t> order(kPlayerLimit);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(),
                     [](int32_t a, int32_t b) { return player(a).Position < player(b).Position; });
    return order;
}

void Open(frmMain& w, const std::string& path)
{
    TempDir::write(path, text());
    platform::testing::activate(w);
    ModalScript script;
    script.openFile(path);
    ASSERT_TRUE(platform::testing::chooseMenuItem("FileOpen"));
    ASSERT_TRUE(script.done()) << "a message was shown";
    ASSERT_EQ(w.NumPlayer, kPlayerLimit);
}

} // namespace testsupport::largest
