#pragma once

#include "platform/controls.h"
#include "platform/internal/control_p.h"
#include "platform/menu.h"
#include "platform/toolbar.h"
#include "platform/window.h"

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;
class QMenuBar;
class QToolBar;

namespace platform::detail {

struct WindowImpl;

/// The content area of a window: holds the controls and places them by their edge locks.
class ContentWidget : public QWidget {
public:
    explicit ContentWidget(WindowImpl& window);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    WindowImpl& mWindow;
};

/// The top-level widget of a window.
class WindowWidget : public QMainWindow {
public:
    explicit WindowWidget(WindowImpl& window);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    WindowImpl& mWindow;
};

struct WindowImpl {
    explicit WindowImpl(Window* owner);
    ~WindowImpl();

    void applyFlags();
    void applySize();
    int extraHeight() const;
    void relayoutControls();
    /// Makes Tab go through the controls as the window shows them: row by row from the top,
    /// and from left to right in a row, whatever order they were made in.
    void orderTabStops();
    void contentResized();
    void activated();
    /// Asks for a control's repaint; while the window paints, only once the pass is over.
    void refreshControl(Control* control);
    /// Repaints a control, and flushes it, before returning; while the window paints or is
    /// hidden, as refreshControl.
    void refreshControlNow(Control* control);
    /// Repaints the controls asked for during the pass that no later part of it painted.
    void refreshAfterPass();

    Window* owner;
    WindowWidget* widget = nullptr;
    ContentWidget* content = nullptr;
    WindowKind kind = WindowKind::Document;
    bool resizable = true;
    bool closeBox = true;
    bool minimiseBox = true;
    bool maximiseBox = true;
    QSize minSize{64, 64};
    QSize maxSize{32000, 32000};
    QSize designSize{300, 200};
    QSize lastSize;

    MenuBar* menuBar = nullptr;
    QMenuBar* qMenuBar = nullptr;
    QToolBar* toolBar = nullptr;

    /// A floating window keeps to its own place while that hides no control of another window,
    /// and else to the nearest place that hides none (floating_place.cpp): its own place is
    /// where the user last put it (`userPlace`, once `userPlaced`), else the bottom right of
    /// the work area (`atBottomRight`) or where it first stood framed (`home`); then where the
    /// placement last put it, and whether it has been seen framed there.
    bool atBottomRight = false;
    std::optional<QPoint> home;
    std::optional<QPoint> placedAt;
    bool placementSettled = false;
    bool userPlaced = false;
    std::optional<QPoint> userPlace;
    void placeClear();

    bool pendingShow = false;
    bool everShown = false;
    bool built = false;
    bool closing = false;
    bool closed = false;
    bool modal = false;
    QEventLoop* modalLoop = nullptr;
    /// While the window paints its dirty region, and the controls asked for then, each with
    /// the number of the paint that asked.
    bool painting = false;
    std::vector<std::pair<Control*, unsigned long>> refreshesInPass;
    std::function<void()> forget;

    std::vector<std::unique_ptr<Control>> controls;
    std::vector<std::unique_ptr<ContextualMenu>> contextualMenus;
    std::vector<std::unique_ptr<ToolbarItem>> toolbarItems;
    std::vector<std::pair<std::string, std::function<void()>>> menuHandlers;
    PushButton* defaultButton = nullptr;
    PushButton* cancelButton = nullptr;
    ControlContext pendingContext;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b);

/// Puts the window, frame and all, centred over `owner`'s frame, within the screen's available
/// area. Before its first show a window's frame is not known: it is taken to be as thick as
/// the owner's.
void centreOver(QWidget* w, const QWidget* owner);

/// What the widget shows on the screen, all of it or an area in its own coordinates: its
/// pixels as its window last put them there.
QImage shownImage(const QWidget* widget);
QImage shownImage(const QWidget* widget, const QRect& area);

} // namespace platform::detail
