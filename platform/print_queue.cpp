// A print job's steps on a CUPS queue of the default print server.

#include "platform/internal/cups_p.h"
#include "platform/internal/printing_p.h"

#include <cstdlib>

namespace platform::detail {

namespace {

// A job on a CUPS queue of the default print server, through the print system's library
// loaded on the first job. No job is created when that library cannot be loaded, or when the
// queue is stopped: a stopped queue takes a job only to keep it, unprinted, for as long as it
// stays stopped, while the user would be told that the page printed.
class CupsQueue : public PrintQueueSteps {
public:
    explicit CupsQueue(const std::string& queue) : mQueue(queue) {}

    int createJob(const std::string& title, const JobOptions& options) override
    {
        mCups = cupsCalls();
        if (!mCups || !printing())
            return 0;
        cups_option_t* cupsOptions = nullptr;
        int count = 0;
        for (const auto& [name, value] : options)
            count = mCups->addOption(name.c_str(), value.c_str(), count, &cupsOptions);
        const int job =
            mCups->createJob(CUPS_HTTP_DEFAULT, mQueue.c_str(), title.c_str(), count, cupsOptions);
        mCups->freeOptions(count, cupsOptions);
        return job;
    }
    bool startDocument(int job, const std::string& title) override
    {
        return mCups->startDocument(CUPS_HTTP_DEFAULT, mQueue.c_str(), job, title.c_str(),
                                    CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    }
    bool writeData(int, std::string_view bytes) override
    {
        return mCups->writeRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) ==
               HTTP_STATUS_CONTINUE;
    }
    bool finishDocument(int) override
    {
        return mCups->finishDocument(CUPS_HTTP_DEFAULT, mQueue.c_str()) <
               IPP_STATUS_REDIRECTION_OTHER_SITE;
    }
    void cancelJob(int job) override
    {
        mCups->cancelJob(CUPS_HTTP_DEFAULT, mQueue.c_str(), job, 0);
    }

private:
    // Whether the server knows the queue and the queue is not stopped.
    bool printing() const
    {
        cups_dest_t* dest = mCups->getNamedDest(CUPS_HTTP_DEFAULT, mQueue.c_str(), nullptr);
        if (!dest)
            return false;
        const char* state = mCups->getOption("printer-state", dest->num_options, dest->options);
        const bool stopped = state && std::atoi(state) == IPP_PSTATE_STOPPED;
        mCups->freeDests(1, dest);
        return !stopped;
    }

    std::string mQueue;
    const CupsCalls* mCups = nullptr;
};

} // namespace

std::unique_ptr<PrintQueueSteps> cupsQueue(const std::string& queue)
{
    return std::make_unique<CupsQueue>(queue);
}

} // namespace platform::detail
