#pragma once

// A virtual X server that a benchmark starts for itself, and the clock from a program's exec
// to the first pixels it puts on that server's screen. Only the benchmarks use this.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct xcb_connection_t;

namespace platform::bench {

/// Runs argv[0] with its arguments and the environment of this process, DISPLAY set to
/// `display` when that is not empty, and returns its exit status once it has ended, or -1 when
/// it could not start or was killed.
int runProgram(const std::vector<std::string>& argv, const std::string& display);

/// An Xvfb with one screen of width by height, started with the object (on a display number
/// that is free) and stopped with it; with `windowManager` an openbox runs on it too.
class VirtualXServer {
public:
    VirtualXServer(int32_t width, int32_t height, bool windowManager);
    ~VirtualXServer();
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    /// Whether the server accepts clients; otherwise error() says why not.
    bool running() const { return !mDisplay.empty(); }
    const std::string& error() const { return mError; }
    /// The DISPLAY of the server (":N").
    const std::string& display() const { return mDisplay; }

    /// Runs a program on this server (see runProgram).
    int run(const std::vector<std::string>& argv) const { return runProgram(argv, mDisplay); }

private:
    pid_t mServer = -1;
    pid_t mWindowManager = -1;
    std::string mDisplay;
    std::string mError;
};

/// A program started on an X server with some variables of its environment replaced
/// ("NAME=value" each), ended with the object.
class StartedProgram {
public:
    StartedProgram(const std::vector<std::string>& argv, const std::string& display,
                   const std::vector<std::string>& environment);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool started() const { return mPid > 0; }
    pid_t pid() const { return mPid; }

private:
    pid_t mPid = -1;
};

/// Watches the whole screen of an X server for drawing.
class FirstPixels {
public:
    /// Connects to the server; the screen must hold no window of another program.
    explicit FirstPixels(const std::string& display);
    ~FirstPixels();
    FirstPixels(const FirstPixels&) = delete;
    FirstPixels& operator=(const FirstPixels&) = delete;

    bool connected() const { return mConnection != nullptr; }

    /// Starts the program argv[0] with its arguments and the environment of this process
    /// besides DISPLAY, and returns the seconds from its exec until the server has drawn the
    /// first pixels that it sent, or a negative number when it drew none within `limitSeconds`
    /// or ended first. The program is then ended, and this returns once its windows are gone.
    double time(const std::vector<std::string>& argv, double limitSeconds);

private:
    void forgetDrawing();
    bool screenIsBare();

    xcb_connection_t* mConnection = nullptr;
    uint32_t mRoot = 0;
    uint32_t mDamage = 0;
    uint8_t mDamageEvent = 0;
    std::string mDisplay;
};

/// The processor time of this process so far, of all its threads, in seconds.
double processCpuSeconds();

} // namespace platform::bench
