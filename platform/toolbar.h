#pragma once

#include <functional>
#include <string>

namespace platform {

/// An item of a window's toolbar, made by Window::addToolbarItem: a picture with a caption. It
/// lives as long as its window.
class ToolbarItem {
public:
    ToolbarItem(std::string name, std::string caption);
    const std::string& name() const { return mName; }
    const std::string& caption() const { return mCaption; }
    /// Presses the item as a click does.
    void push();

    std::function<void()> onAction;

private:
    std::string mName;
    std::string mCaption;
};

} // namespace platform
