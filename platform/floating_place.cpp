// Where the floating windows stand (the toolbar, the swing-o-meter), which lie above every
// other window of the program: each at its own place (the toolbar at the bottom right of the
// work area, another where it first stood, either where the user last put it) while that hides
// no control, title bar or floating window of the program's, else at the nearest place inside
// the work area that hides none, and off the drawings where it can. They are placed again
// whenever a window of the program appears, goes, moves, changes size or is maximised, and
// whenever the work area changes; a floating window the user moves is placed once the user has
// let it go.

#include "platform/internal/floating_place_p.h"

#include "platform/controls.h"
#include "platform/internal/control_p.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/system.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <tuple>

namespace platform::detail {

namespace {

int64_t overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : int64_t{both.width()} * both.height();
}

int64_t overlapWithAll(const QRect& place, const std::vector<QRect>& rects)
{
    int64_t sum = 0;
    for (const QRect& r : rects)
        sum += overlap(place, r);
    return sum;
}

// Where the window may stand along one axis: the ends of the area, and against either side of
// every rectangle, kept inside the area.
std::vector<int> stops(int low, int high, int size, const std::vector<QRect>& rects, bool x)
{
    std::set<int> at{low, high - size};
    for (const QRect& r : rects) {
        const int start = x ? r.left() : r.top();
        const int end = x ? r.right() + 1 : r.bottom() + 1;
        at.insert(start - size);
        at.insert(end);
    }
    std::vector<int> kept;
    for (int v : at)
        if (v >= low && v <= std::max(low, high - size))
            kept.push_back(v);
    return kept;
}

} // namespace

QPoint clearPlace(const QRect& area, const QSize& size, const QPoint& wanted,
                  const std::vector<QRect>& controls, const std::vector<QRect>& drawings,
                  bool drawingsAllowedThere)
{
    // Inside the area, as far as the window fits there.
    const QPoint preferred(
        std::clamp(wanted.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())),
        std::clamp(wanted.y(), area.top(),
                   std::max(area.top(), area.bottom() + 1 - size.height())));
    std::vector<QRect> edges = controls;
    edges.insert(edges.end(), drawings.begin(), drawings.end());
    std::vector<int> xs = stops(area.left(), area.left() + area.width(), size.width(), edges, true);
    std::vector<int> ys =
        stops(area.top(), area.top() + area.height(), size.height(), edges, false);
    // Straight across or up from where it wants to be, too: the nearest clear place may lie
    // level with it.
    xs.push_back(preferred.x());
    ys.push_back(preferred.y());

    // Least of the controls hidden, then least of the drawings, then the nearest.
    struct Cost {
        int64_t controls, drawings, distance;
        bool operator<(const Cost& o) const
        {
            return std::tie(controls, drawings, distance) <
                   std::tie(o.controls, o.drawings, o.distance);
        }
    };
    QPoint best = preferred;
    const QRect at(preferred, size);
    Cost bestCost{overlapWithAll(at, controls),
                  drawingsAllowedThere ? 0 : overlapWithAll(at, drawings), 0};
    if (bestCost.controls == 0 && bestCost.drawings == 0)
        return preferred;
    for (int x : xs) {
        for (int y : ys) {
            const QRect place(QPoint(x, y), size);
            const int64_t dx = x - preferred.x();
            const int64_t dy = y - preferred.y();
            const Cost cost{overlapWithAll(place, controls), overlapWithAll(place, drawings),
                            dx * dx + dy * dy};
            if (cost < bestCost) {
                bestCost = cost;
                best = place.topLeft();
            }
        }
    }
    return best;
}

namespace {

bool isMinimised(const QWidget* w)
{
    return (w->windowState() & Qt::WindowMinimized) != 0;
}

QRect onScreen(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// A canvas that grows with its window on every side is the window's drawing: the tool window
// keeps off it where it can, and lies over it rather than over a control where it must (a
// maximised window leaves it no other room).
bool isDrawingArea(const ControlImpl& c)
{
    return (c.locks & LockAll) == LockAll && dynamic_cast<Canvas*>(c.owner) != nullptr;
}

// What the floating window must not hide, in every shown top-level window of the program but
// itself: the controls and menu bars of the program's own windows, and the whole of every other
// (a dialog is all controls); and the drawings, which it had better not hide.
void gatherObstacles(const QWidget* self, std::vector<QRect>& controls,
                     std::vector<QRect>& drawings)
{
    std::set<const QWidget*> ownWindows;
    for (Window* w : windowsByActivation()) {
        WindowImpl& d = w->impl();
        if (d.closed)
            continue;
        ownWindows.insert(d.widget);
        if (d.widget == self || !d.widget->isVisible() || isMinimised(d.widget))
            continue;
        // Another floating window is all controls.
        if (d.kind == WindowKind::Floating) {
            controls.push_back(d.widget->frameGeometry());
            continue;
        }
        // The title bar that the window manager draws, with its buttons.
        const QRect frame = d.widget->frameGeometry();
        const QRect inside = d.widget->geometry();
        if (inside.top() > frame.top())
            controls.emplace_back(frame.left(), frame.top(), frame.width(),
                                  inside.top() - frame.top());
        if (d.qMenuBar && d.qMenuBar->isVisible())
            controls.push_back(onScreen(d.qMenuBar));
        for (const auto& control : d.controls) {
            const ControlImpl& c = control->impl();
            if (c.widget && c.widget->isVisible())
                (isDrawingArea(c) ? drawings : controls).push_back(onScreen(c.widget));
        }
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == self || ownWindows.count(top) || !top->isVisible() || isMinimised(top) ||
            top->windowType() == Qt::ToolTip || top->windowType() == Qt::Popup)
            continue;
        controls.push_back(top->frameGeometry());
    }
}

bool isFramed(const QWidget* w)
{
    // Headless, no window manager adds a frame: the window stands where it was put at once.
    static const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    return headless || w->frameGeometry() != w->geometry();
}

bool gPlacementPending = false;

// A floating window that the user is moving is placed once the moves have stopped for this
// long, so that the placement never pulls it from under the pointer.
QTimer* userMoveSettle()
{
    static QPointer<QTimer> timer;
    if (!timer && qApp) {
        timer = new QTimer(qApp);
        timer->setSingleShot(true);
        timer->setInterval(kUserMoveSettleMilliseconds);
        QObject::connect(timer, &QTimer::timeout, qApp, [] { placeFloatingWindowsSoon(); });
    }
    return timer;
}

// Tells a floating window's moves apart: those the placement made, and the user's. A move to
// another place than the one asked for, once the window stands framed where it was put, is the
// user's; until then the window manager's framing moves it. Returns whether the move was the
// user's.
bool noteMove(QWidget* w)
{
    bool users = false;
    for (Window* window : windowsByActivation()) {
        WindowImpl& d = window->impl();
        if (d.widget != w || d.kind != WindowKind::Floating || !d.placedAt)
            continue;
        if (d.widget->pos() == *d.placedAt) {
            if (isFramed(d.widget) && d.widget->isVisible())
                d.placementSettled = true;
        } else if (d.placementSettled) {
            // Its own place from now on.
            d.userPlaced = true;
            d.userPlace = d.widget->pos();
            d.placedAt = d.widget->pos();
            users = true;
        }
    }
    return users;
}

class PlacementWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->isWindow())
            return false;
        switch (event->type()) {
        case QEvent::Move:
            if (noteMove(w)) {
                if (QTimer* settle = userMoveSettle())
                    settle->start();
                break;
            }
            [[fallthrough]];
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            placeFloatingWindowsSoon();
            break;
        default:
            break;
        }
        return false;
    }
};

bool isShown(const WindowImpl& d)
{
    return !d.closed && d.widget->isVisible() && !isMinimised(d.widget);
}

QRect availableArea()
{
    return QRect(Screen::availableLeft(), Screen::availableTop(), Screen::availableWidth(),
                 Screen::availableHeight());
}

void placeWindows()
{
    // A floating window still being moved by the user is placed once it is let go.
    if (QTimer* settle = userMoveSettle(); settle && settle->isActive())
        return;
    for (Window* w : windowsByActivation()) {
        WindowImpl& d = w->impl();
        if (d.kind == WindowKind::Floating && isShown(d))
            d.placeClear();
    }
}

} // namespace

void watchPlacement()
{
    static PlacementWatch* watch = nullptr;
    if (watch || !qApp)
        return;
    watch = new PlacementWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
    // A panel that comes or goes changes the work area.
    for (QScreen* screen : QGuiApplication::screens())
        QObject::connect(screen, &QScreen::availableGeometryChanged, watch,
                         [] { placeFloatingWindowsSoon(); });
}

void placeFloatingWindowsSoon()
{
    if (gPlacementPending || !qApp)
        return;
    gPlacementPending = true;
    QTimer::singleShot(0, qApp, [] {
        gPlacementPending = false;
        placeWindows();
    });
}

void WindowImpl::placeClear()
{
    if (kind != WindowKind::Floating)
        return;
    const QRect area = availableArea();
    const QSize size = widget->frameGeometry().size();
    QPoint preferred;
    if (userPlaced && userPlace) {
        preferred = *userPlace;
    } else if (atBottomRight) {
        preferred = QPoint(std::max(area.left(), area.left() + area.width() - size.width()),
                           std::max(area.top(), area.top() + area.height() - size.height()));
    } else {
        // Where it first stood framed, as the window manager put it, is its own place.
        if (!home) {
            if (!isFramed(widget))
                return;
            home = widget->pos();
        }
        preferred = *home;
    }
    std::vector<QRect> controls;
    std::vector<QRect> drawings;
    gatherObstacles(widget, controls, drawings);
    // Where the user put it, it may lie over a drawing: the user chose that.
    const QPoint place = clearPlace(area, size, preferred, controls, drawings, userPlaced);
    placedAt = place;
    if (widget->pos() != place)
        widget->move(place);
}

} // namespace platform::detail
