#include "platform/bench/x_server.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform::bench {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// How a program is started: whether its error output is dropped, a descriptor of this
// process that it must not keep, and whether it ends when this process does (a server must not
// outlive a benchmark that was killed).
struct SpawnOptions {
    bool quiet = false;
    int closeFd = -1;
    bool endWithParent = false;
    /// Variables that replace those of this process ("NAME=value" each).
    std::vector<std::string> environment;
};

// Starts argv with the environment of this process and DISPLAY set, or returns -1.
pid_t spawn(const std::vector<std::string>& argv, const std::string& display,
            const SpawnOptions& options = {})
{
    std::vector<std::string> replaced = options.environment;
    if (!display.empty())
        replaced.push_back("DISPLAY=" + display);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view variable(*e);
        const bool kept = std::none_of(replaced.begin(), replaced.end(), [&](const auto& r) {
            return variable.starts_with(r.substr(0, r.find('=') + 1));
        });
        // DISPLAY is the given one's or none.
        if (kept && !variable.starts_with("DISPLAY="))
            env.emplace_back(variable);
    }
    env.insert(env.end(), replaced.begin(), replaced.end());
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child: only calls that are safe between fork and exec.
    if (options.endWithParent && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent))
        _exit(127);
    if (options.closeFd >= 0)
        close(options.closeFd);
    if (options.quiet) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, 2);
    }
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
}

void stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

// Whether the process has ended (and is reaped).
bool ended(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Waits up to `seconds` for the connection to have something to read.
void awaitConnection(xcb_connection_t* c, double seconds)
{
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(seconds * 1000));
}

// Whether a window manager has announced itself on the root window.
bool hasWindowManager(const std::string& display)
{
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    bool found = false;
    if (!xcb_connection_has_error(c)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
        if (atom && atom->atom != XCB_NONE) {
            xcb_get_property_reply_t* prop = xcb_get_property_reply(
                c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            found = prop && xcb_get_property_value_length(prop) > 0;
            std::free(prop);
        }
        std::free(atom);
    }
    xcb_disconnect(c);
    return found;
}

} // namespace

VirtualXServer::VirtualXServer(int32_t width, int32_t height, bool windowManager)
{
    // The server writes its display number to the pipe once it accepts clients.
    int fds[2];
    if (pipe(fds) != 0) {
        mError = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    mServer =
        spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten",
               "tcp", "-noreset"},
              "", {.quiet = true, .closeFd = fds[0], .endWithParent = true, .environment = {}});
    close(fds[1]);
    if (mServer < 0) {
        close(fds[0]);
        mError = "Xvfb could not be started (is it installed?)";
        return;
    }
    std::string number;
    char ch = 0;
    ssize_t got = 0;
    while ((got = read(fds[0], &ch, 1)) == 1 && ch != '\n')
        number += ch;
    close(fds[0]);
    if (number.empty()) {
        stop(mServer);
        mError = "Xvfb ended without a display";
        return;
    }
    mDisplay = ":" + number;
    if (!windowManager)
        return;
    // The window manager's complaints about its menus are no part of the benchmark's report.
    mWindowManager =
        spawn({"openbox"}, mDisplay, {.quiet = true, .endWithParent = true, .environment = {}});
    const auto start = Clock::now();
    while (mWindowManager > 0 && !ended(mWindowManager) && !hasWindowManager(mDisplay) &&
           secondsSince(start) < 10) {
        const timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
    if (!hasWindowManager(mDisplay)) {
        mError = "openbox could not be started (is it installed?)";
        mWindowManager = -1;
        stop(mServer);
        mDisplay.clear();
    }
}

int runProgram(const std::vector<std::string>& argv, const std::string& display)
{
    const pid_t pid = spawn(argv, display);
    if (pid < 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

StartedProgram::StartedProgram(const std::vector<std::string>& argv, const std::string& display,
                               const std::vector<std::string>& environment)
    : mPid(spawn(argv, display, {.endWithParent = true, .environment = environment}))
{
}

StartedProgram::~StartedProgram()
{
    stop(mPid);
}

VirtualXServer::~VirtualXServer()
{
    stop(mWindowManager);
    stop(mServer);
}

FirstPixels::FirstPixels(const std::string& display) : mDisplay(display)
{
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        xcb_disconnect(c);
        return;
    }
    std::free(xcb_damage_query_version_reply(
        c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));
    mConnection = c;
    mRoot = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    mDamageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    // Drawing anywhere on the screen, the windows above the root included, damages the root.
    mDamage = xcb_generate_id(c);
    xcb_damage_create(c, mDamage, mRoot, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    xcb_flush(c);
}

FirstPixels::~FirstPixels()
{
    if (mConnection)
        xcb_disconnect(mConnection);
}

void FirstPixels::forgetDrawing()
{
    xcb_damage_subtract(mConnection, mDamage, XCB_NONE, XCB_NONE);
    std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
    while (xcb_generic_event_t* e = xcb_poll_for_event(mConnection))
        std::free(e);
}

bool FirstPixels::screenIsBare()
{
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, mRoot), nullptr);
    const bool bare = tree && xcb_query_tree_children_length(tree) == 0;
    std::free(tree);
    return bare;
}

double FirstPixels::time(const std::vector<std::string>& argv, double limitSeconds)
{
    if (!mConnection)
        return -1;
    forgetDrawing();
    const auto start = Clock::now();
    pid_t pid = spawn(argv, mDisplay);
    if (pid < 0)
        return -1;
    double seconds = -1;
    bool gone = false;
    while (seconds < 0 && !gone && secondsSince(start) < limitSeconds) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(mConnection)) {
            if ((e->response_type & 0x7f) == mDamageEvent && seconds < 0)
                seconds = secondsSince(start);
            std::free(e);
        }
        if (seconds < 0) {
            gone = ended(pid);
            if (!gone)
                awaitConnection(mConnection, 0.05);
        }
    }
    if (gone)
        pid = -1;
    stop(pid);
    // The program's windows go with its connection, which the server notices on its own time.
    const auto closing = Clock::now();
    while (!screenIsBare() && secondsSince(closing) < 10)
        awaitConnection(mConnection, 0.01);
    return seconds;
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace platform::bench
