#pragma once

// The floating "View" window whose items bring the four views to the front.

#include "platform/picture.h"
#include "platform/toolbar.h"
#include "platform/window.h"

class wtoolbar : public platform::WindowClass<wtoolbar> {
public:
    platform::ToolbarItem* ToolbarItem1 = nullptr; ///< "Spider"
    platform::ToolbarItem* ToolbarItem2 = nullptr; ///< "ForceField"
    platform::ToolbarItem* ToolbarItem3 = nullptr; ///< "Graph"
    platform::ToolbarItem* ToolbarItem4 = nullptr; ///< "Swing"

    void ToolbarItem1_Action();
    void ToolbarItem2_Action();
    void ToolbarItem3_Action();
    void ToolbarItem4_Action();

    /// Puts the window at the bottom right of the screen's available area.
    void PlaceAtBottomRight();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class platform::WindowClass<wtoolbar>;
    wtoolbar() = default;
};

// The items' pictures, each fetched from the resources once and kept.
const platform::Picture* img_ff();
const platform::Picture* img_graph();
const platform::Picture* img_spider();
const platform::Picture* img_swing();
