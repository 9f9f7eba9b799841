#include "platform/internal/runtime_p.h"

#include "platform/internal/modal_p.h"
#include "platform/internal/window_p.h"
#include "platform/window.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

namespace platform::detail {

namespace {

std::vector<Window*> gGraveyard;
bool gFlushPosted = false;

} // namespace

void postDeletions()
{
    if (gFlushPosted || !qApp || gGraveyard.empty())
        return;
    gFlushPosted = true;
    QTimer::singleShot(0, qApp, [] {
        gFlushPosted = false;
        flushDeletions();
    });
}

int& handlerDepth()
{
    static int depth = 0;
    return depth;
}

std::vector<Window*>& windowsByActivation()
{
    static std::vector<Window*> windows;
    return windows;
}

std::vector<Window*>& windowsInCreationOrder()
{
    static std::vector<Window*> windows;
    return windows;
}

void registerWindow(Window* w)
{
    windowsInCreationOrder().push_back(w);
    windowsByActivation().push_back(w);
}

void unregisterWindow(Window* w)
{
    auto erase = [w](std::vector<Window*>& v) {
        v.erase(std::remove(v.begin(), v.end(), w), v.end());
    };
    erase(windowsInCreationOrder());
    erase(windowsByActivation());
    erase(gGraveyard);
}

void noteActivated(Window* w)
{
    auto& v = windowsByActivation();
    auto it = std::find(v.begin(), v.end(), w);
    if (it != v.end())
        std::rotate(v.begin(), it, it + 1);
}

void scheduleDelete(Window* w)
{
    auto& v = windowsByActivation();
    v.erase(std::remove(v.begin(), v.end(), w), v.end());
    gGraveyard.push_back(w);
    postDeletions();
}

void flushDeletions(bool force)
{
    if (!force && (handlerDepth() > 0 || modalDepth() > 0))
        return;
    while (!gGraveyard.empty()) {
        Window* w = gGraveyard.back();
        gGraveyard.pop_back();
        delete w;
    }
}

void showPendingWindows(const Window* except)
{
    const std::vector<Window*> windows = windowsInCreationOrder();
    for (Window* w : windows)
        if (w != except && !w->isClosed() && w->impl().pendingShow)
            w->show();
}

} // namespace platform::detail
