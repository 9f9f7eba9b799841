#include "platform/internal/modal_p.h"

#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/window.h"

namespace platform::detail {

namespace {

int gModalDepth = 0;
unsigned long gModalRuns = 0;

} // namespace

ModalScope::ModalScope(const Window* except)
{
    showPendingWindows(except);
    ++gModalDepth;
    ++gModalRuns;
}

ModalScope::~ModalScope()
{
    --gModalDepth;
    postDeletions();
}

unsigned long modalRunCount()
{
    return gModalRuns;
}

int modalDepth()
{
    return gModalDepth;
}

ModalHandler& modalHandler()
{
    static ModalHandler handler;
    return handler;
}

std::optional<ModalAnswer> askTestSeam(const ModalRequest& request)
{
    if (!modalHandler())
        return std::nullopt;
    // A copy: the handler may replace itself while it runs.
    const ModalHandler handler = modalHandler();
    return handler(request);
}

QWidget* dialogParent()
{
    if (Window* front = frontmostWindow())
        return front->impl().widget;
    for (Window* w : windowsByActivation())
        if (!w->isClosed() && w->kind() != WindowKind::Floating && w->impl().widget->isVisible())
            return w->impl().widget;
    return nullptr;
}

} // namespace platform::detail
