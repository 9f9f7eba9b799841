// Printing the three diagrams through a real print server: File > Print, the real print dialog
// worked by its own controls as a person works it, and the job as the server's queue prints
// it. Each test starts a cupsd of its own (tests/support/print_server.h).

#include "app/Messages.h"
#include "app/frmMain.h"

#include "forcefield/ffield.h"
#include "graph/graph.h"

#include "tests/support/app_fixture.h"
#include "tests/support/image_tools.h"
#include "tests/support/print_server.h"
#include "tests/support/temp_dir.h"

#include "platform/files.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

namespace pt = platform::testing;
using testsupport::PrintServer;
using testsupport::TempDir;

enum class Diagram { SpiderPlot, ForceField, Graph };

const char* nameOf(Diagram diagram)
{
    switch (diagram) {
    case Diagram::SpiderPlot:
        break;
    case Diagram::ForceField:
        return "ForceField";
    case Diagram::Graph:
        return "Graph";
    }
    return "SpiderPlot";
}

void PrintTo(Diagram diagram, std::ostream* out)
{
    *out << nameOf(diagram);
}

struct Paper {
    const char* setupString;
    const char* media; ///< the name the job's options give the paper
    double width;      ///< points, as the paper lies
    double height;
};

const Paper kA4Portrait{"KestrixPageSetup/1;printer=;page=A4;orientation=portrait;"
                        "margins=10,10,10,10pt",
                        "A4", 595, 842};
const Paper kLetterLandscape{"KestrixPageSetup/1;printer=;page=Letter;orientation=landscape;"
                             "margins=10,10,10,10pt",
                             "Letter", 792, 612};

class ServerPrintTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(mServer.running())
            << "the print server could not be started: " << mServer.failure();
        ASSERT_TRUE(imagetools::hasTool("pdftotext"))
            << imagetools::missingTool("pdftotext", "poppler-utils");
        mSettings = platform::File::preferencesFolder()->child("KestrixPrint.dat").absolutePath();
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271},
                                           {"Unions", -40, 70, 100, 100},
                                           {"Press", 60, 80, 500, 400}});
        main().InFileName = "budget.dat";
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mSettings);
        AppTest::TearDown();
    }

    /// File > Print of the diagram's window, brought to the front first, with the page setup
    /// `paper` stored; `dialogs` answer what it shows.
    void print(Diagram diagram, const Paper& paper, pt::RealDialogs& dialogs)
    {
        TempDir::write(mSettings, paper.setupString);
        pt::activate(window(diagram));
        pt::processEvents();
        EXPECT_TRUE(pt::chooseMenuItem("FilePrint"));
        EXPECT_TRUE(dialogs.done()) << "a dialog the test expected was never shown";
        EXPECT_EQ(dialogs.unanswered(), std::vector<std::string>{});
    }

    platform::Window& window(Diagram diagram)
    {
        switch (diagram) {
        case Diagram::SpiderPlot:
            break;
        case Diagram::ForceField:
            return ffield::instance();
        case Diagram::Graph:
            return graph::instance();
        }
        return main();
    }

    static std::string jobName(Diagram diagram)
    {
        switch (diagram) {
        case Diagram::SpiderPlot:
            break;
        case Diagram::ForceField:
            return "Force Field Analysis - budget.dat";
        case Diagram::Graph:
            return "Position vs. Importance - budget.dat";
        }
        return "Varnholt - budget.dat";
    }

    /// The message each diagram's Print shows when its drawing fails.
    static std::string drawingFailure(Diagram diagram)
    {
        switch (diagram) {
        case Diagram::SpiderPlot:
            break;
        case Diagram::ForceField:
            return Messages::UnableToPrint;
        case Diagram::Graph:
            return Messages::PageNotPrinted;
        }
        return Messages::SomethingReallyBad;
    }

    /// The print dialog's step that prints `copies` copies on the server's queue, the printer
    /// the dialog offers first; `beforePrint` runs just before Print is pressed.
    static std::function<void(pt::RealDialog&)>
    printOnTheQueue(int copies, std::function<void()> beforePrint = {})
    {
        return [copies, beforePrint](pt::RealDialog& d) {
            if (copies != 1) {
                EXPECT_TRUE(d.press("Options >>"));
                EXPECT_TRUE(d.chooseTab("Copies"));
                EXPECT_TRUE(d.typeNumber("Copies:", copies));
            }
            if (beforePrint)
                beforePrint();
            EXPECT_TRUE(d.press("Print"));
        };
    }

    /// The step of a message box that must say `text`: its OK is pressed.
    static std::function<void(pt::RealDialog&)> message(std::string text)
    {
        return [text](pt::RealDialog& d) {
            EXPECT_EQ(d.text(), text);
            EXPECT_TRUE(d.press("OK"));
        };
    }

    PrintServer mServer;
    std::string mSettings;
    TempDir mDir;
};

// --- Each diagram arrives whole, on the paper asked for, as often as asked for ---

struct DiagramCase {
    const char* name;
    Diagram diagram;
    const Paper* paper;
    int copies;
    std::vector<std::string> words; ///< words the diagram puts on the page
};

void PrintTo(const DiagramCase& c, std::ostream* out)
{
    *out << c.name;
}

class DiagramOnTheServerTest : public ServerPrintTest,
                               public ::testing::WithParamInterface<DiagramCase> {};

const std::vector<std::string> kSpiderWords{"Issue", "Unions", "Press", "Enemies", "Allies"};
const std::vector<std::string> kForceFieldWords{"Issue", "Unions", "Press"};
const std::vector<std::string> kGraphWords{"Unions", "Press", "Enemies", "Allies"};

INSTANTIATE_TEST_SUITE_P(
    Diagrams, DiagramOnTheServerTest,
    ::testing::Values(
        DiagramCase{"SpiderPlotPortrait", Diagram::SpiderPlot, &kA4Portrait, 1, kSpiderWords},
        DiagramCase{"SpiderPlotLandscape2Copies", Diagram::SpiderPlot, &kLetterLandscape, 2,
                    kSpiderWords},
        DiagramCase{"ForceFieldPortrait3Copies", Diagram::ForceField, &kA4Portrait, 3,
                    kForceFieldWords},
        DiagramCase{"ForceFieldLandscape", Diagram::ForceField, &kLetterLandscape, 1,
                    kForceFieldWords},
        DiagramCase{"GraphPortrait2Copies", Diagram::Graph, &kA4Portrait, 2, kGraphWords},
        DiagramCase{"GraphLandscape3Copies", Diagram::Graph, &kLetterLandscape, 3, kGraphWords}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(DiagramOnTheServerTest, ArrivesWithItsNameOnePagePerCopyOnThePaperAskedFor)
{
    const DiagramCase& c = GetParam();
    pt::RealDialogs dialogs;
    dialogs.then(printOnTheQueue(c.copies));
    print(c.diagram, *c.paper, dialogs);

    const std::vector<PrintServer::PrintedJob> jobs = mServer.printedJobs();
    ASSERT_EQ(jobs.size(), 1u) << "one job for one Print";
    const PrintServer::PrintedJob& job = jobs[0];
    EXPECT_EQ(job.title, jobName(c.diagram));
    EXPECT_EQ(job.copies, c.copies);
    ASSERT_EQ(job.files.size(), static_cast<size_t>(c.copies)) << "copies printed";
    const std::string media = std::string("media=") + c.paper->media;
    EXPECT_NE(std::find(job.options.begin(), job.options.end(), media), job.options.end()) << media;
    for (const std::string& copy : job.files) {
        const imagetools::PdfInfo pages = imagetools::pdfInfo(copy).value_or(imagetools::PdfInfo{});
        EXPECT_EQ(pages.pages, 1) << copy;
        EXPECT_NEAR(pages.width, c.paper->width, 1) << copy;
        EXPECT_NEAR(pages.height, c.paper->height, 1) << copy;
        const auto words = imagetools::pdfWords(copy);
        ASSERT_TRUE(words) << "pdftotext could not read " << copy;
        for (const std::string& word : c.words)
            EXPECT_TRUE(words->find(word)) << word << " is missing from " << copy;
    }
    EXPECT_EQ(TempDir::read(mSettings), c.paper->setupString)
        << "the print dialog's choices stay out of the settings file";
}

// --- A printer that does not print the page: the user is told, and nothing printed ---

enum class QueueFault { Stopped, RefusesJobs, ServerGone };

const char* nameOf(QueueFault fault)
{
    switch (fault) {
    case QueueFault::Stopped:
        break;
    case QueueFault::RefusesJobs:
        return "RefusesJobs";
    case QueueFault::ServerGone:
        return "ServerGone";
    }
    return "Stopped";
}

void PrintTo(QueueFault fault, std::ostream* out)
{
    *out << nameOf(fault);
}

class FailingQueueTest : public ServerPrintTest,
                         public ::testing::WithParamInterface<QueueFault> {};

INSTANTIATE_TEST_SUITE_P(Faults, FailingQueueTest,
                         ::testing::Values(QueueFault::Stopped, QueueFault::RefusesJobs,
                                           QueueFault::ServerGone),
                         [](const auto& info) { return std::string(nameOf(info.param)); });

TEST_P(FailingQueueTest, TellsTheUserAndPrintsNothing)
{
    const QueueFault fault = GetParam();
    if (fault == QueueFault::Stopped) {
        ASSERT_TRUE(mServer.stopQueue());
    } else if (fault == QueueFault::RefusesJobs) {
        ASSERT_TRUE(mServer.refuseJobs());
    }
    pt::RealDialogs dialogs;
    // The server goes away while the person looks at the dialog.
    dialogs
        .then(printOnTheQueue(2,
                              [&] {
                                  if (fault == QueueFault::ServerGone)
                                      mServer.stop();
                              }))
        .then(message(Messages::PageNotPrinted));
    print(Diagram::SpiderPlot, kA4Portrait, dialogs);

    EXPECT_EQ(mServer.printedJobs().size(), 0u);
    if (fault != QueueFault::ServerGone) {
        EXPECT_EQ(mServer.jobsTaken(), std::vector<int>{})
            << "the queue holds no job that would print later";
    }
    EXPECT_FALSE(main().FileChanged);
}

// --- A page whose drawing cannot be finished is not printed ---

class UnfinishedPageTest : public ServerPrintTest, public ::testing::WithParamInterface<Diagram> {};

INSTANTIATE_TEST_SUITE_P(Diagrams, UnfinishedPageTest,
                         ::testing::Values(Diagram::SpiderPlot, Diagram::ForceField,
                                           Diagram::Graph),
                         [](const auto& info) { return std::string(nameOf(info.param)); });

TEST_P(UnfinishedPageTest, SendsNoJobReplacesNoFileAndSaysSo)
{
    const Diagram diagram = GetParam();
    const std::string pdf = mDir.file("page.pdf");
    TempDir::write(pdf, "the last page printed");
    {
        const pt::PageDrawingFault fault("out of room for the last stroke");
        pt::RealDialogs toTheQueue;
        toTheQueue.then(printOnTheQueue(1)).then(message(drawingFailure(diagram)));
        print(diagram, kA4Portrait, toTheQueue);
        EXPECT_EQ(mServer.jobsTaken(), std::vector<int>{}) << "no job was sent";

        pt::RealDialogs toTheFile;
        toTheFile
            .then([](pt::RealDialog& d) {
                EXPECT_TRUE(d.press("...")); // the file dialog is the next step
                EXPECT_TRUE(d.press("Print"));
            })
            .then([pdf](pt::RealDialog& d) {
                d.typeFileName(pdf);
                EXPECT_TRUE(d.press("Save"));
            })
            .then([](pt::RealDialog& d) { EXPECT_TRUE(d.press("Yes")) << d.text(); })
            .then(message(drawingFailure(diagram)));
        print(diagram, kA4Portrait, toTheFile);
        EXPECT_EQ(TempDir::read(pdf), "the last page printed");
        EXPECT_EQ(mDir.names(), std::vector<std::string>{"page.pdf"}) << "no file made";
    }

    // The program goes on: with the drawing whole, the next print arrives.
    pt::RealDialogs again;
    again.then(printOnTheQueue(1));
    print(diagram, kA4Portrait, again);
    const std::vector<PrintServer::PrintedJob> jobs = mServer.printedJobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].title, jobName(diagram));
    EXPECT_EQ(mServer.jobsTaken(), std::vector<int>{jobs[0].id});
}

// --- The tests' server keeps to its own folder ---

// Every file and folder under the machine's print system's folders, with its mode, its owner
// and when it last changed.
std::vector<std::string> systemPrintFiles()
{
    std::vector<std::string> files;
    for (const char* top : {"/etc/cups", "/var/spool/cups", "/var/cache/cups", "/var/log/cups",
                            "/run/cups", "/var/run/cups"}) {
        std::error_code ec;
        if (!std::filesystem::exists(top, ec)) {
            files.push_back(std::string(top) + " absent");
            continue;
        }
        auto stamp = [&files](const std::filesystem::path& path) {
            struct stat st {};
            if (lstat(path.c_str(), &st) != 0)
                return;
            files.push_back(path.string() + " mode " + std::to_string(st.st_mode) + " owner " +
                            std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) +
                            " changed " + std::to_string(st.st_mtim.tv_sec) + "." +
                            std::to_string(st.st_mtim.tv_nsec));
        };
        stamp(top);
        for (auto it = std::filesystem::recursive_directory_iterator(
                 top, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            stamp(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(PrintServerTest, LeavesTheMachinesPrintSystemAlone)
{
    ASSERT_TRUE(imagetools::hasTool("lp")) << imagetools::missingTool("lp", "cups-client");
    const std::vector<std::string> before = systemPrintFiles();
    {
        PrintServer server;
        ASSERT_TRUE(server.running()) << server.failure();
        const TempDir dir;
        const std::string page = dir.file("page.txt");
        TempDir::write(page, "a job through the queue\n");
        ASSERT_TRUE(imagetools::run("lp -h " + imagetools::quote(server.socket()) + " -d " +
                                    PrintServer::kQueue + " " + imagetools::quote(page)));
        EXPECT_EQ(server.printedJobs().size(), 1u);
        ASSERT_TRUE(server.stopQueue());
        ASSERT_TRUE(server.refuseJobs());
    }
    EXPECT_EQ(systemPrintFiles(), before);
}

} // namespace
