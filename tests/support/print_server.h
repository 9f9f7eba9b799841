#pragma once

// A CUPS print server of a test's own: Debian's cupsd with its configuration, spool, logs and
// socket in a folder under the build tree, so that it never touches the machine's print system
// (its configuration, its spool or its server). It has one queue, the server's default printer,
// whose device writes each copy of each job it prints to a file.

#include <string>
#include <vector>

#include <sys/types.h>

namespace testsupport {

class PrintServer {
public:
    /// The one queue, the server's default printer.
    static constexpr const char* kQueue = "Kestrix_Test";

    /// A job as the queue's device printed it.
    struct PrintedJob {
        int id = 0;
        std::string title;
        int copies = 0;                   ///< as the server handed the job to the device
        std::vector<std::string> options; ///< the job's options as the device got them
        std::vector<std::string> files;   ///< one PDF file for each copy printed, in order
    };

    /// Starts the server and waits until it answers. This process, its print system library
    /// and the tools it runs are then pointed at it (CUPS_SERVER) and at nothing else.
    PrintServer();
    /// Ends the server by its PID, if it still runs, and removes its folder.
    ~PrintServer();
    PrintServer(const PrintServer&) = delete;
    PrintServer& operator=(const PrintServer&) = delete;

    /// Whether the server answers; when it does not, failure() says why.
    bool running() const { return mPid > 0; }
    /// Why the server could not be started ("" when it runs), with what its log says.
    const std::string& failure() const { return mFailure; }

    /// Stops the queue (cupsdisable): it keeps the jobs it takes without printing them.
    bool stopQueue();
    /// Makes the queue refuse jobs (cupsreject).
    bool refuseJobs();
    /// Ends the server, as a server that goes away does: nothing answers on its socket.
    void stop();

    /// The jobs the server ever took, printed or not, by their ids (lpstat).
    std::vector<int> jobsTaken() const;
    /// The jobs the device printed, once no job is left to print (within some seconds), in the
    /// order they were printed.
    std::vector<PrintedJob> printedJobs() const;

    /// The server's socket, what CUPS_SERVER names.
    const std::string& socket() const { return mSocket; }

private:
    bool start();
    std::string logTail() const;
    bool queueTool(const char* tool) const;

    std::string mFolder;
    std::string mSocket;
    std::string mFailure;
    pid_t mPid = -1;
};

} // namespace testsupport
