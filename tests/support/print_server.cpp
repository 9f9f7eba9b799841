#include "tests/support/print_server.h"

#include "tests/support/image_tools.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kCupsd = "/usr/sbin/cupsd";
// Where the servers' folders lie: one for each server, named after the process that started
// it, under the build tree.
const fs::path kServersFolder = fs::path(KESTRIX_BUILD_DIR) / "print-servers";

// The queue's device: it writes the job's title, copies and options, and the document once for
// each copy, into a folder of the job's own. A backend given a file prints the copies itself.
constexpr const char* kBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then
    echo 'direct kestrix "Unknown" "A file for each copy"'
    exit 0
fi
umask 022
job="${DEVICE_URI#kestrix:}/$1"
mkdir -p "$job" || exit 1
document="$6"
if [ -z "$document" ]; then
    document="$job/document"
    cat > "$document" || exit 1
fi
printf '%s' "$3" > "$job/title"
printf '%s' "$5" > "$job/options"
n=1
while [ "$n" -le "$4" ]; do
    cp "$document" "$job/copy-$n.pdf" || exit 1
    n=$((n + 1))
done
printf '%s' "$4" > "$job/copies"
exit 0
)";

// The server's configuration; @ stands for its folder.
constexpr const char* kCupsdConf = R"(LogLevel info
Listen @/socket
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
)";
constexpr const char* kCupsFilesConf = R"(ServerRoot @/etc
ServerBin @/bin
DataDir /usr/share/cups
RequestRoot @/spool
TempDir @/tmp
CacheDir @/cache
StateDir @/run
ServerKeychain @/etc/ssl
Printcap @/run/printcap
ErrorLog @/log/error_log
AccessLog @/log/access_log
PageLog @/log/page_log
SystemGroup root
)";
// A queue without a driver, which hands each job to its device as it came.
constexpr const char* kPrintersConf = R"(<DefaultPrinter Kestrix_Test>
Info The tests' printer
DeviceURI kestrix:@/printed
State Idle
Accepting Yes
Shared No
</DefaultPrinter>
)";

std::string inFolder(std::string text, const std::string& folder)
{
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        text.replace(at, 1, folder);
        at += folder.size() - 1;
    }
    return text;
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Folders of servers whose process is gone (a test that crashed): their servers ended with it.
void removeLeftovers()
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kServersFolder, ec)) {
        const std::string name = entry.path().filename().string();
        const pid_t owner = static_cast<pid_t>(std::atol(name.c_str()));
        if (owner > 0 && owner != getpid() && kill(owner, 0) != 0 && errno == ESRCH)
            fs::remove_all(entry.path(), ec);
    }
}

// Points the print system's library at the server CUPS_SERVER names, when this process has
// loaded it already and so has read the variable before (a test earlier in the same process).
void rereadServer()
{
    void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!cups)
        return;
    using SetServer = void (*)(const char*);
    if (auto set = reinterpret_cast<SetServer>(dlsym(cups, "cupsSetServer")))
        set(nullptr);
    dlclose(cups);
}

} // namespace

PrintServer::PrintServer()
{
    if (!start() && mPid > 0)
        stop();
}

PrintServer::~PrintServer()
{
    stop();
    std::error_code ec;
    if (!mFolder.empty())
        fs::remove_all(mFolder, ec);
    // The last server's folder takes the folder of them all with it.
    fs::remove(kServersFolder, ec);
}

bool PrintServer::start()
{
    if (access(kCupsd, X_OK) != 0) {
        mFailure = std::string(kCupsd) + " is missing: install cups-daemon (`make test` does)";
        return false;
    }
    for (const char* tool : {"lpstat", "cupsdisable", "cupsreject"})
        if (!imagetools::hasTool(tool)) {
            mFailure = imagetools::missingTool(tool, "cups-client");
            return false;
        }
    std::error_code ec;
    removeLeftovers();
    static int servers = 0;
    const fs::path folder =
        kServersFolder / (std::to_string(getpid()) + "-" + std::to_string(++servers));
    fs::remove_all(folder, ec);
    for (const char* sub :
         {"etc", "bin/backend", "bin/daemon", "spool", "tmp", "cache", "run", "log", "printed"}) {
        // Tried again: another test's server, ending, may take the empty folder of them all
        // away just as this one is made in it.
        for (int attempt = 0; attempt < 3 && !fs::is_directory(folder / sub); ++attempt)
            fs::create_directories(folder / sub, ec);
        if (!fs::is_directory(folder / sub)) {
            mFailure =
                "cannot make the print server's folder " + folder.string() + ": " + ec.message();
            return false;
        }
    }
    mFolder = folder.string();
    mSocket = mFolder + "/socket";
    if (mSocket.size() >= sizeof(sockaddr_un::sun_path)) {
        mFailure = "the build tree's path is too long for the print server's socket: " + mSocket;
        return false;
    }

    // cupsd, run as root, changes these folders to its own user and group and checks that no
    // one else may write to them or to its configuration.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    // Everything the server reads or writes lies in its folder; it listens on its socket alone
    // and lets anyone there do anything, with no password.
    writeFile(folder / "etc/cupsd.conf", inFolder(kCupsdConf, mFolder));
    writeFile(folder / "etc/cups-files.conf", inFolder(kCupsFilesConf, mFolder));
    writeFile(folder / "etc/printers.conf", inFolder(kPrintersConf, mFolder));
    for (const char* file : {"cupsd.conf", "cups-files.conf", "printers.conf"})
        fs::permissions(folder / "etc" / file,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Only its owner may run the device, which cupsd then runs as that user (root in CI)
    // instead of its own unprivileged one: it writes to a folder that only root may write to.
    writeFile(folder / "bin/backend/kestrix", kBackend);
    fs::permissions(folder / "bin/backend/kestrix", fs::perms::owner_all);
    fs::create_symlink("/usr/lib/cups/daemon/cups-exec", folder / "bin/daemon/cups-exec", ec);
    if (ec) {
        mFailure = "cannot link cups-exec into the print server's folder: " + ec.message();
        return false;
    }

    const std::string conf = mFolder + "/etc/cupsd.conf";
    const std::string files = mFolder + "/etc/cups-files.conf";
    const std::string output = mFolder + "/log/cupsd-output";
    const pid_t parent = getpid();
    mPid = fork();
    if (mPid < 0) {
        mFailure = std::string("cannot start cupsd: ") + std::strerror(errno);
        return false;
    }
    if (mPid == 0) {
        // The server ends with the test, also with one that crashes.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execl(kCupsd, kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }

    setenv("CUPS_SERVER", mSocket.c_str(), 1);
    rereadServer();
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(mPid, &status, WNOHANG) == mPid) {
            mPid = -1;
            mFailure = "cupsd ended at its start";
            break;
        }
        if (imagetools::run("lpstat -h " + imagetools::quote(mSocket) + " -p " + kQueue +
                            " 2>/dev/null"))
            return true;
        std::this_thread::sleep_for(20ms);
    }
    if (mFailure.empty())
        mFailure = "cupsd did not answer within 20 seconds";
    mFailure += "; its log:\n" + logTail();
    return false;
}

std::string PrintServer::logTail() const
{
    std::string log =
        readFile(mFolder + "/log/cupsd-output") + readFile(mFolder + "/log/error_log");
    if (log.size() > 4000)
        log = "..." + log.substr(log.size() - 4000);
    return log;
}

void PrintServer::stop()
{
    if (mPid <= 0)
        return;
    kill(mPid, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (waitpid(mPid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(mPid, SIGKILL);
            waitpid(mPid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    mPid = -1;
}

bool PrintServer::queueTool(const char* tool) const
{
    return running() &&
           imagetools::run(std::string(tool) + " -h " + imagetools::quote(mSocket) + " " + kQueue)
               .has_value();
}

bool PrintServer::stopQueue()
{
    return queueTool("cupsdisable");
}

bool PrintServer::refuseJobs()
{
    return queueTool("cupsreject");
}

std::vector<int> PrintServer::jobsTaken() const
{
    std::vector<int> ids;
    const auto out = imagetools::run("lpstat -h " + imagetools::quote(mSocket) + " -W all -o " +
                                     kQueue + " 2>/dev/null");
    if (!out)
        return ids;
    // "Kestrix_Test-3   root   1024   Fri Dec 11 13:36:11 2026"
    std::istringstream lines(*out);
    std::string line;
    const std::string prefix = std::string(kQueue) + "-";
    while (std::getline(lines, line))
        if (line.rfind(prefix, 0) == 0)
            ids.push_back(std::atoi(line.c_str() + prefix.size()));
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<PrintServer::PrintedJob> PrintServer::printedJobs() const
{
    // Jobs not printed yet are listed without -W.
    const std::string pending =
        "lpstat -h " + imagetools::quote(mSocket) + " -o " + kQueue + " 2>/dev/null";
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        const auto out = imagetools::run(pending);
        if (out && out->empty())
            break;
        std::this_thread::sleep_for(20ms);
    }
    std::vector<PrintedJob> jobs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(mFolder + "/printed", ec)) {
        PrintedJob job;
        job.id = std::atoi(entry.path().filename().c_str());
        job.title = readFile(entry.path() / "title");
        job.copies = std::atoi(readFile(entry.path() / "copies").c_str());
        std::istringstream options(readFile(entry.path() / "options"));
        for (std::string option; options >> option;)
            job.options.push_back(option);
        for (int n = 1; fs::exists(entry.path() / ("copy-" + std::to_string(n) + ".pdf")); ++n)
            job.files.push_back((entry.path() / ("copy-" + std::to_string(n) + ".pdf")).string());
        jobs.push_back(std::move(job));
    }
    std::sort(jobs.begin(), jobs.end(),
              [](const PrintedJob& a, const PrintedJob& b) { return a.id < b.id; });
    return jobs;
}

} // namespace testsupport
