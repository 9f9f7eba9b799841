#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/window.h"

#include <QApplication>
#include <QScreen>
#include <QStyleFactory>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

namespace platform {

namespace {

Application* gInstance = nullptr;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// Qt lets no exception pass through its event loop, so every event is dispatched inside a
// handler that reports what escaped and ends the program.
class QtApplication : public QApplication {
public:
    QtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (detail::runState().terminating && isUserInput(event->type()))
            return true;
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            reportUnhandledException(e.what());
        } catch (...) {
            reportUnhandledException("an unknown exception");
        }
        return false;
    }
};

// The font of the widgets that the program does not build itself: the menus and the
// toolkit's own dialogs. It is the program's font at 12 pixels, given in points, as the toolkit
// expects of the application's font: its widgets scale the point size (the page-setup preview
// takes a quarter of it), and a font sized in pixels has no point size but -1.
QFont applicationFont()
{
    QFont font = detail::programFont(12, false);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi =
        screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(12 * 72.0 / dpi);
    return font;
}

// The toolkit's command line: the process's own name, and no arguments.
int gArgc = 1;
char* gArgv[] = {nullptr, nullptr};

} // namespace

namespace detail {
RunState& runState()
{
    static RunState state;
    return state;
}

bool terminating()
{
    return runState().terminating;
}
} // namespace detail

Application::Application(std::string name) : mName(std::move(name))
{
    gInstance = this;
    // A write beyond the process's file-size limit would otherwise end the program at once,
    // losing the document; ignored, it fails with EFBIG and File::writeAll reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    // Reading the font configuration is the longest step of the first text the program shows:
    // it goes on beside the toolkit's own start-up, which does not need it.
    std::thread fonts(detail::loadFontConfig);
    if (!qApp) {
        QApplication::setApplicationName(detail::qs(mName));
        gArgv[0] = program_invocation_name;
        new QtApplication(gArgc, gArgv);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    fonts.join();
    QApplication::setFont(applicationFont());
}

Application::~Application()
{
    detail::flushDeletions(true);
    if (gInstance == this)
        gInstance = nullptr;
}

Application* Application::instance()
{
    return gInstance;
}

namespace {
MenuBar* gMenuBar = nullptr;
}

void Application::setMenuBar(MenuBar& bar)
{
    gMenuBar = &bar;
}
MenuBar* Application::menuBar() const
{
    return gMenuBar;
}

int Application::run(const std::function<void()>& startup)
{
    runGuarded(startup);
    if (!detail::runState().terminating && !detail::runState().quitRequested)
        detail::runState().exitCode = QApplication::exec();
    // What is still open goes without its close event: the program has quit.
    for (Window* w : openWindows())
        w->impl().closed = true;
    for (Window* w : detail::windowsInCreationOrder())
        detail::scheduleDelete(w);
    detail::flushDeletions(true);
    return detail::runState().terminating ? 1 : detail::runState().exitCode;
}

void Application::quit(int exitCode)
{
    detail::runState().quitRequested = true;
    detail::runState().exitCode = exitCode;
    QCoreApplication::exit(exitCode);
}

bool Application::quitRequested()
{
    return detail::runState().quitRequested;
}

void Application::quitByClosingWindows()
{
    for (Window* w : openWindows()) {
        if (detail::runState().quitRequested || detail::runState().terminating)
            return;
        if (w->isClosed())
            continue;
        runGuarded([w] { w->close(); });
        if (!w->isClosed())
            return; // the window chose to stay open: no quit
    }
    if (!detail::runState().quitRequested)
        quit(0);
}

void runGuarded(const std::function<void()>& handler)
{
    if (!handler)
        return;
    ++detail::handlerDepth();
    try {
        handler();
    } catch (const std::exception& e) {
        reportUnhandledException(e.what());
    } catch (...) {
        reportUnhandledException("an unknown exception");
    }
    if (--detail::handlerDepth() == 0)
        detail::postDeletions();
}

bool runGuardedResult(const std::function<bool()>& handler, bool fallback)
{
    bool result = fallback;
    runGuarded([&] {
        if (handler)
            result = handler();
    });
    return result;
}

void reportUnhandledException(std::string_view what)
{
    if (detail::runState().terminating)
        return;
    std::fprintf(stderr, "%s: unhandled exception: %.*s\n", program_invocation_short_name,
                 static_cast<int>(what.size()), what.data());
    const std::string program = gInstance ? gInstance->name() : std::string("the program");
    MsgBox("An unexpected error occurred and " + program + " has to close.\n\n" +
           std::string(what));
    detail::runState().terminating = true;
    QCoreApplication::exit(1);
}

} // namespace platform
