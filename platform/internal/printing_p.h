#pragma once

// The steps of a print job on a print queue (see Services::printQueue).

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::detail {

/// The options of a print job, by name and value.
using JobOptions = std::vector<std::pair<std::string, std::string>>;

/// The print system's steps of one job on one queue.
class PrintQueueSteps {
public:
    virtual ~PrintQueueSteps() = default;
    /// The job's number; 0 or less when the queue refused the job, or would only keep it
    /// unprinted (it is stopped).
    virtual int createJob(const std::string& title, const JobOptions& options) = 0;
    virtual bool startDocument(int job, const std::string& title) = 0;
    virtual bool writeData(int job, std::string_view bytes) = 0;
    virtual bool finishDocument(int job) = 0;
    virtual void cancelJob(int job) = 0;
};

/// The steps of a job on a CUPS queue of the default print server, through the print system's
/// library, which the first job loads; a queue whose library cannot be loaded takes no job.
std::unique_ptr<PrintQueueSteps> cupsQueue(const std::string& queue);

} // namespace platform::detail
