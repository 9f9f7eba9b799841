#pragma once

// The position-versus-importance graph: a scatter plot of the players' position (across)
// against their importance (up). Dragging a dot sets both values of its player; a still click
// edits the player; the contextual menu adds or edits players. The window keeps no document
// data: it reads and writes frmMain's document state.

#include "platform/controls.h"
#include "platform/printing.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <string>

namespace platform {
class Graphics;
}

/// The mapping between graph units (a position across, an importance up) and the pixels of a
/// canvas of W by H. Position 0 lies 20 pixels left of the canvas's middle and importance 0
/// seven units above its bottom edge. Sums are taken in 64 bits and every result goes through
/// the one Double-to-Int32 conversion, so values far outside the axes saturate, never wrap.
struct GraphMapping {
    float xscale = 0; ///< pixels per unit of position
    float yscale = 0; ///< pixels per unit of importance
    int32_t W = 0;
    int32_t H = 0;

    /// The scales for a canvas of W by H, on the screen and on the page: W / 220 and H / 115.
    static GraphMapping screen(int32_t W, int32_t H);

    int32_t plotx(int32_t v) const;
    int32_t ploty(int32_t v) const;
    /// The position at canvas x; 0 while xscale is not positive (a canvas of no width).
    int32_t unplotx(int32_t x) const;
    /// The importance at canvas y; 0 while yscale is not positive.
    int32_t unploty(int32_t y) const;
};

/// Where the graph is drawn.
/// - Screen: the coloured background when it is switched on; only the players whose stance is
///   known, at their position and importance limited to -100..100 and 0..100; white dots on the
///   background, black ones without it; each dot's corner is recorded for the press.
/// - Printed (the page and the picture): no background; every player, at the values as stored;
///   black dots; nothing is recorded.
enum class GraphTarget { Screen, Printed };

class graph : public platform::WindowClass<graph> {
public:
    /// The scales of the last paint (the open event's first values until then).
    float xscale = 0;
    float yscale = 0;
    /// The graph's own page setup; the main window's is never used here.
    platform::PrinterSetup p;
    bool CaptionsOn = false;
    bool ColourBkgd = false;
    /// Canvas corner of player i's dot as last laid out for the screen (by the paint, or by a
    /// press); 0 until then, and left as it was for a player that got no dot.
    std::array<int32_t, 101> xplot{};
    std::array<int32_t, 101> yplot{};

    platform::Canvas* cGraph = nullptr;
    platform::PushButton* PushButton1 = nullptr; ///< "Close"
    platform::StaticText* StaticText1 = nullptr;
    platform::CheckBox* CheckBox1 = nullptr; ///< "Show captions"
    platform::CheckBox* CheckBox2 = nullptr; ///< "Colour background"
    platform::ContextualMenu* ContextualMenu1 = nullptr;

    /// The window's smallest size: its bottom row of controls side by side, clear of each
    /// other, and a canvas wide enough that the scale's -100 end lies on it (the scale starts
    /// 20 pixels left of the middle, so a canvas narrower than 440 would lose it).
    static constexpr int32_t kMinimumWidth = 640;
    static constexpr int32_t kMinimumHeight = 240;

    // --- Control events ---
    bool cGraph_MouseDown(const platform::MouseEvent& e);
    void cGraph_Paint(platform::Graphics& g);
    void cGraph_MouseDrag(const platform::MouseEvent& e);
    void cGraph_MouseUp(const platform::MouseEvent& e);
    void PushButton1_Action();
    void CheckBox1_Action();
    void CheckBox2_Action();
    void ContextualMenu1_Open();
    void ContextualMenu1_Action(const std::string& item);

    // --- Window events ---
    void Event_Activate() override;
    void Event_EnableMenuItems() override;
    void Event_Open() override;

    // --- Menu handlers ---
    void _FilePrint_Action();
    void _FileSaveaspicture_Action();
    void _FilePageSetup_Action();
    void _ShowMakeEasier_Action();
    void _ShowMakeHarder_Action();
    void _ShowSwingometer_Action();
    void _ShowMorePolarized_Action();

    // --- The mapping in force: the window's scales over the canvas's current size ---
    GraphMapping mapping() const;
    int32_t plotx(int32_t v) const { return mapping().plotx(v); }
    int32_t ploty(int32_t v) const { return mapping().ploty(v); }
    int32_t unplotx(int32_t x) const { return mapping().unplotx(x); }
    int32_t unploty(int32_t y) const { return mapping().unploty(y); }

    /// The one drawing routine of the screen, the page and the picture: the open document on
    /// `g` with the mapping `m`. Only the screen lays out the dots (xplot, yplot).
    void DrawGraph(platform::Graphics& g, const GraphMapping& m, GraphTarget target);

protected:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;

private:
    friend class platform::WindowClass<graph>;
    graph() = default;

    /// Where the screen puts the dots of the document as it is now, with the mapping `m`:
    /// writes xplot, yplot and which players have a dot.
    void layOutDots(const GraphMapping& m);

    /// mDot[i]: player i got a dot when the dots were last laid out (a player of the document
    /// then, whose stance is known); xplot[i] and yplot[i] mean nothing for the others.
    std::array<bool, 101> mDot{};
};
