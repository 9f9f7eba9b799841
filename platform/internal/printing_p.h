#pragma once

// The steps of a print job on a print queue, and the queue a test may put in the print
// system's place. Kept by the platform library, so that what a test sets here is what the
// printing module sees.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::detail {

/// The options of a print job, by name and value.
using JobOptions = std::vector<std::pair<std::string, std::string>>;

/// The print system's steps of one job on one queue. CUPS takes them, unless a test has put
/// steps of its own in their place (platform/testing.h).
class PrintQueueSteps {
public:
    virtual ~PrintQueueSteps() = default;
    /// The job's number; 0 or less when the queue refused the job.
    virtual int createJob(const std::string& title, const JobOptions& options) = 0;
    virtual bool startDocument(int job, const std::string& title) = 0;
    virtual bool writeData(int job, std::string_view bytes) = 0;
    virtual bool finishDocument(int job) = 0;
    virtual void cancelJob(int job) = 0;
};

/// A queue that a test puts in the print system's place: a print dialog answered without a
/// file then sends its page to `queue` (UTF-8), through these steps. Never set by the program.
struct TestPrintQueue {
    std::string queue;
    PrintQueueSteps* steps = nullptr;
};
TestPrintQueue& testPrintQueue();

} // namespace platform::detail
