#include "platform/internal/modal_p.h"

#include "platform/internal/runtime_p.h"
#include "platform/internal/services_p.h"
#include "platform/internal/window_p.h"
#include "platform/window.h"

namespace platform::detail {

namespace {

int gModalDepth = 0;
unsigned long gModalRuns = 0;

// Counts a modal run while it lasts. Starting one first shows the windows that are waiting to
// be shown (all but `except`), so that the modal lies above them.
class ModalScope {
public:
    explicit ModalScope(const Window* except)
    {
        showPendingWindows(except);
        ++gModalDepth;
        ++gModalRuns;
    }
    ~ModalScope()
    {
        --gModalDepth;
        postDeletions();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

} // namespace

std::optional<ModalAnswer> runModal(const ModalRequest& request,
                                    const std::function<ModalAnswer()>& show,
                                    const std::function<void()>& open)
{
    if (terminating())
        return std::nullopt;
    ModalScope scope(request.window);
    if (open)
        open();
    const ModalAnswer answer = services().runModal(request, show);
    // Whoever answered, the modal run of a window ends with it hidden or closed.
    if (request.window && request.window->isVisible())
        request.window->hide();
    return answer;
}

unsigned long modalRunCount()
{
    return gModalRuns;
}

int modalDepth()
{
    return gModalDepth;
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
