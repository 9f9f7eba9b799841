#pragma once

// The controls a window places at fixed positions: canvas, push button, static text, edit
// field, slider, scroll bar, check box, group box, rectangle and list box. Each is created by
// Window::addControl and lives as long as its window.
//
// Events are plain functions the window binds when it creates the control. Setting a value or
// text from code fires the change event as the user's change would, unless the value is
// unchanged.

#include "platform/color.h"
#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Graphics;

namespace detail {
struct ControlImpl;
}

enum class Alignment { Default, Left, Center, Right };

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const;
    Window& window() const;

    int32_t left() const;
    int32_t top() const;
    int32_t width() const;
    int32_t height() const;
    /// Puts the control at `rect` in its window as the window is now; from there its edge
    /// locks keep its distances to the edges as before.
    void setPlace(Rect rect);

    bool isVisible() const;
    void setVisible(bool visible);
    bool isEnabled() const;
    void setEnabled(bool enabled);
    void setFocus();
    /// Whether the control has the keyboard focus: it takes what is typed.
    bool hasFocus() const;
    void setHelpTag(std::string_view text);
    void setTextSize(double size);
    /// Requests a repaint; it runs later.
    void refresh();
    /// Repaints and shows the result before returning, while the window is shown and paints
    /// nothing at the moment; otherwise as refresh.
    void refreshNow();

    detail::ControlImpl& impl() const { return *d; }

protected:
    explicit Control(const detail::ControlContext& context);
    std::unique_ptr<detail::ControlImpl> d;
};

/// What a canvas's mouse handlers receive: the point in the canvas's pixels and whether the
/// press is a contextual click (the right button). Modifier keys are read from the keyboard
/// state (Keyboard) when a handler runs, not from the event.
struct MouseEvent {
    int32_t x = 0;
    int32_t y = 0;
    bool contextual = false;
};

/// A control that draws itself. A press handler that returns true gets a drag event at the
/// press point at once, one for every movement while the button is held, and one release.
/// When the press handler ran a modal dialog or a contextual menu, the gesture ends with it:
/// no drag or release follows.
class Canvas : public Control {
public:
    explicit Canvas(const detail::ControlContext& context);

    std::function<void(Graphics&)> onPaint;
    std::function<bool(const MouseEvent&)> onMouseDown;
    std::function<void(const MouseEvent&)> onMouseDrag;
    std::function<void(const MouseEvent&)> onMouseUp;
    /// The key as text ("a", or a name such as "Return"); true when it was handled.
    std::function<bool(const std::string&)> onKeyDown;

    void setAcceptsFocus(bool accepts);
    /// Whether the canvas is erased to white before each paint (the default); a canvas that
    /// is not starts each paint from its last picture.
    void setEraseBackground(bool erase);
};

class PushButton : public Control {
public:
    explicit PushButton(const detail::ControlContext& context);

    std::string caption() const;
    void setCaption(std::string_view caption);
    /// Presses the button as a click does: runs onAction while it is enabled.
    void push();

    std::function<void()> onAction;
};

class StaticText : public Control {
public:
    explicit StaticText(const detail::ControlContext& context);

    std::string text() const;
    void setText(std::string_view text);
    void setAlignment(Alignment alignment);
    void setTextColor(Color color);
};

class EditField : public Control {
public:
    explicit EditField(const detail::ControlContext& context);

    /// The text; in a multi-line field its line breaks are carriage returns.
    std::string text() const;
    void setText(std::string_view text);
    void setMultiline(bool multiline);
    void setAlignment(Alignment alignment);
    /// A read-only field shows its text, which the program sets, and takes no typing.
    void setReadOnly(bool readOnly);
    /// Selects the whole text, so that what is typed next replaces it.
    void selectAll();

    std::function<void()> onTextChange;
    /// The user has finished editing a one-line field: pressed Return or left it.
    std::function<void()> onEditingFinished;
};

/// A control whose value is a whole number within its range, moved by a thumb: the slider and
/// the scroll bar. Its value stays within its range.
class RangeControl : public Control {
public:
    int32_t value() const;
    void setValue(int32_t value);
    void setRange(int32_t minimum, int32_t maximum);
    /// The step of the arrow keys (and a scroll bar's arrows), and that of a click beside the
    /// thumb.
    void setLineStep(int32_t step);
    void setPageStep(int32_t step);
    /// With live scrolling off the value changes when the user lets go of the thumb.
    void setLiveScroll(bool live);

    std::function<void()> onValueChanged;

protected:
    enum class Look { Slider, ScrollBar };
    RangeControl(const detail::ControlContext& context, Look look);
};

/// A horizontal slider, from 0 to 100 until its range is set.
class Slider : public RangeControl {
public:
    explicit Slider(const detail::ControlContext& context);
};

/// A vertical scroll bar.
class ScrollBar : public RangeControl {
public:
    explicit ScrollBar(const detail::ControlContext& context);
};

class CheckBox : public Control {
public:
    explicit CheckBox(const detail::ControlContext& context);

    std::string caption() const;
    void setCaption(std::string_view caption);
    bool value() const;
    /// Sets the tick; fires onAction when it changes.
    void setValue(bool value);

    std::function<void()> onAction;
};

class GroupBox : public Control {
public:
    explicit GroupBox(const detail::ControlContext& context);
    void setCaption(std::string_view caption);
};

/// A plain rectangle with a border and a fill.
class RectangleShape : public Control {
public:
    explicit RectangleShape(const detail::ControlContext& context);
    void setBorder(Color color, int32_t width);
    void setFill(Color color);
};

/// A list of rows with columns and a heading row.
class ListBox : public Control {
public:
    explicit ListBox(const detail::ControlContext& context);

    /// The column count and headings; widths as a text such as "70%,15%,15%".
    void setColumns(const std::vector<std::string>& headings, std::string_view widths);
    void setColumnAlignment(int32_t column, Alignment alignment);
    void setGridLines(bool grid);

    /// Appends a row with `text` in column 0.
    void addRow(std::string_view text);
    void setCell(int32_t row, int32_t column, std::string_view text);
    std::string cell(int32_t row, int32_t column) const;
    int32_t rowCount() const;
    void deleteAllRows();
    /// The selected row, -1 when none is.
    int32_t listIndex() const;
    void setListIndex(int32_t row);

    std::function<void()> onDoubleClick;
    /// A click on a heading; returning true keeps the rows as they are.
    std::function<bool(int32_t column)> onSortColumn;
};

} // namespace platform
